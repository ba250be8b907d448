#pragma once

class IdentModel;
class Prompter;

// "Подсчет итогов": every sheet of level L - 1 that follows sheets of level L receives
// the sums of their bodies, from the deepest level up.
class SheetTotals {
public:
    SheetTotals(IdentModel& model, Prompter& prompter);
    // False when the levels do not allow it (the user has been told why).
    bool run();

private:
    IdentModel& m_model;
    Prompter& m_prompter;
};
