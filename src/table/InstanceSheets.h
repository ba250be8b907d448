#pragma once

class IdentModel;
class Prompter;
class TdmMSSQL;
class Workbook;
struct TableRef;

// The instance sheets of a table: inserting and deleting them, the edit group, the
// accompanying text, protection and the column count.
class InstanceSheets {
public:
    InstanceSheets(TdmMSSQL& dm, IdentModel& model, Prompter& prompter, TableRef& table);

    // While the title is being identified the object list link stays.
    void setTitleModeActive(bool active) { m_titleMode = active; }

    // MinsSheet: a new instance sheet before the active one, laid out like it.
    bool insertSheet();
    // MdelSheet: the first run of selected instance sheets.
    bool deleteSelected();
    // sbSeetsSel: every instance sheet into the edit group.
    void selectAll();
    // After any change only the active sheet stays in the edit group, so a grouped
    // edit acts once.
    void keepOnlyActiveInGroup();

    // ShowSText.
    void setAccompanyingTextShown(bool shown);
    bool accompanyingTextShown() const;
    // MlockSh.
    void toggleProtection();
    bool protectionOn() const;
    // miMaxCol.
    void setColumnCount255();

    // "Update CAT set kodspis = 0 …": a table whose sheets change loses its object list.
    void removeObjectListLink();

private:
    Workbook& book() const;

    TdmMSSQL& m_dm;
    IdentModel& m_model;
    Prompter& m_prompter;
    TableRef& m_table; // the open table; its object list link is dropped here too
    bool m_titleMode = false;
};
