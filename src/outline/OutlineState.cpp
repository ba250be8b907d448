#include "OutlineState.h"

OutlineState& ProcessOutlineState() {
    static OutlineState state;
    return state;
}
