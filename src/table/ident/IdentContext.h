#pragma once

#include "IdentEditState.h"
#include "IdentOptions.h"

class IdentEditorView;
class IdentModel;
class Prompter;
class TdmMSSQL;

// Everything the identification commands of one open table work with.
struct IdentContext {
    IdentModel& model;
    TdmMSSQL& dm;
    Prompter& prompter;
    IdentEditorView& view;
    IdentEditState& state;
    IdentOptions& options;
};
