#include "IdentOptions.h"

IdentOptions& CurrentIdentOptions() {
    static IdentOptions options;
    return options;
}
