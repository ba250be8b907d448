#pragma once

#include "ProtocolText.h"

#include <QString>

#include <optional>

class IdentModel;
class Prompter;

// Control conditions of a table: one logical formula per body row (row identification
// sheet) or per column (column identification sheet) with its error message. The
// condition is written for the first cell of its line; the control's rules move its
// relative references to every cell it is tested in.
enum class ControlLine { Row, Column };

// A condition being entered: where it goes and what the dialog starts with.
struct ConditionDraft {
    ControlLine line = ControlLine::Row;
    int sheet = 0;
    int row = 0;
    int col = 0;
    QString caption;
    QString condition;
    QString message;
};

class ControlConditions {
public:
    // The message has a slot of its own: the slot before it holds the unit of measure,
    // which older tables also used for the message.
    static constexpr int kMessageSlot = 24;

    ControlConditions(IdentModel& model, Prompter& prompter);

    // Checks the cursor position and reads what is stored; nullopt after a message.
    std::optional<ConditionDraft> begin(ControlLine line, int sheet, int row, int col);
    enum class Applied { Stored, NoMessage, BadCondition };
    // Tests the condition as a rule of the draft's cell and stores both texts.
    Applied apply(const ConditionDraft& draft, const QString& condition, const QString& message);

    // `index` is the body row of a row condition, the column of a column condition.
    QString condition(ControlLine line, int index) const;
    QString message(ControlLine line, int index) const;
    void store(ControlLine line, int index, const QString& condition, const QString& message);

    // The first column of a row line: data columns after those of special kinds.
    int firstLineColumn() const;
    // The last used column of the last header row of an instance sheet.
    int lastHeaderColumn(int sheet) const;
    // "Просмотр условий контроля"; false (after the message) when there is none.
    bool list(int sheet, const QString& tableCaption, ProtocolText& protocol);

    IdentModel& model() const { return m_model; }

private:
    int slotSheet(ControlLine line) const;
    // (row, col) of slot `slot` of a line.
    std::pair<int, int> slotCell(ControlLine line, int index, int slot) const;
    QString slotText(ControlLine line, int index, int slot) const;

    IdentModel& m_model;
    Prompter& m_prompter;
};
