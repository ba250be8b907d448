#pragma once

// Values the outline engine shares across every catalogue of one running
// program: the NPP step, the building flag and which catalogue is in charge.
// Tests that stand for two running programs give each its own state.
struct OutlineState {
    // Spacing of positions; only ever grows during a run.
    int nppStep = 100;
    // True while a tree is rebuilt; selection handlers ignore the noise.
    bool building = false;
    // 1 = collections, 2 = rubrics.
    int currentCatalogue = 1;

    // A block of n rows needs a step that leaves room for it after a renumbering.
    void growStepFor(int blockRows) {
        if (2 * (blockRows + 1) >= nppStep)
            nppStep = 3 * (blockRows + 1);
    }
};

// The state of this program.
OutlineState& ProcessOutlineState();
