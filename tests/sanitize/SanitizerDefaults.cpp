// Options the sanitizer runtimes ask the program for at start-up.

extern "C" {

__attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "detect_leaks=1:check_initialization_order=1";
}

__attribute__((visibility("default"), used)) const char* __lsan_default_options() {
    // Firebird's engine, fontconfig and Qt keep some memory until the process ends.
    return "suppressions=" ZEMRAK_LSAN_SUPPRESSIONS;
}

__attribute__((visibility("default"), used)) const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}
