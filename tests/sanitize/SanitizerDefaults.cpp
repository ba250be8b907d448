// Options the sanitizer runtimes ask the program for at start-up.

extern "C" {

__attribute__((visibility("default"), used)) const char* __asan_default_options() {
    // Without intercept_tls_get_addr=0 the leak checker reads a bogus dynamic TLS block
    // at exit (a library loaded later: Qt plugins, Firebird's engine) and crashes with
    // "Tracer caught signal 11" whenever the test runs under ctest.
    return "detect_leaks=1:check_initialization_order=1:intercept_tls_get_addr=0";
}

__attribute__((visibility("default"), used)) const char* __lsan_default_options() {
    // Firebird's client and engine keep some memory until the process ends.
    return "suppressions=" ZEMRAK_LSAN_SUPPRESSIONS;
}

__attribute__((visibility("default"), used)) const char* __ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}
