#pragma once

#include "StoragePeriods.h"

#include <QString>
#include <QStringList>

class Prompter;
class TdmMSSQL;

// The commands of the storage-period window: the two fund pages as lists of
// node texts, adding a year and the end of a node's edit, which changes NAST
// and the layout of the fund tables in one transaction on the fact database.
class PeriodController {
public:
    enum class Fund { Dolg = 0, Oper = 1 };

    PeriodController(TdmMSSQL& dm, Prompter& prompter,
                     StoragePeriods& lists = CurrentStoragePeriods());

    // Only the administrator changes the storage periods; anyone else is told so.
    static bool mayOpen(const QString& userName, Prompter& prompter);

    // Reloads the lists and rebuilds both pages; false after a message.
    bool load();

    const QStringList& nodes(Fund fund) const { return m_pages[index(fund)].nodes; }
    // The node to select, -1 for none.
    int selected(Fund fund) const { return m_pages[index(fund)].selected; }
    bool treeEnabled(Fund fund) const { return !nodes(fund).isEmpty(); }
    const PeriodList& list(Fund fund) const;

    // "Добавить": rereads the lists so the page shows what others changed, then
    // appends an empty node to edit. Returns its index, -1 when refused.
    int add(Fund fund);
    // F2: blank nodes go before the selected one is edited. Returns the node to edit.
    int dropBlankNodes(Fund fund, int current);
    // The edit of node `position` ended with `text` (also when it was cancelled).
    void endEdit(Fund fund, int position, const QString& text);

private:
    struct Page {
        QStringList nodes;
        int selected = -1;
    };
    static int index(Fund fund) { return fund == Fund::Dolg ? 0 : 1; }
    PeriodList& listRef(Fund fund);
    void rebuild(Fund fund);
    void dropNewNode(Fund fund, int position);
    void restoreNode(Fund fund, int position, const QString& oldText);
    bool store(Fund fund, int position, int year);
    // Read inside the storing transaction: whether NAST still holds `loaded`.
    bool unchangedSinceLoad(Fund fund, const PeriodList& loaded);
    void storeDolg(int position, bool isNew, bool erase);
    void storeOper(int oldYear, int newYear, bool isNew, bool erase);
    void runSql(const QString& sql);

    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    StoragePeriods& m_lists;
    Page m_pages[2];
};
