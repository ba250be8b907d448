#pragma once

#include "ProtocolText.h"
#include "StoragePeriods.h"

#include <QMap>

class ExchangeView;
class IdentModel;
class Prompter;
class TdmMSSQL;

// "Тестирование": checks the identification of every row, column and instance sheet
// against the directories and the storage periods and lists each problem in the
// protocol. It changes nothing but directory types left beside cleared codes.
class IdentTest {
public:
    IdentTest(IdentModel& model, TdmMSSQL& dm, Prompter& prompter, ExchangeView& view,
              ProtocolText& protocol);
    // "Подчиненные объекты": a cleared object of the objects directory shows its row again.
    void setShowSubordinate(bool on) { m_showSubordinate = on; }

    // The number of protocol lines; with none the success box has been shown.
    int run(const QString& tableCaption);

private:
    enum class Zone { Rows, Columns, Title };
    // Where a code sits: zone, row, the column's name and the sheet of a title.
    struct Place {
        Zone zone;
        int row = 0;
        QString column;
        int sheet = 0;
    };

    void testRows();
    void testColumns();
    void testSheet(int sheet);
    void checkIndicator(const Place& at, double x);
    // The code at (sheet, row, col) with its type at (typeRow, typeCol).
    void checkObjectSlot(const Place& at, int sheet, int row, int col, int typeRow, int typeCol,
                         bool* found);
    void checkObject(const Place& at, double code, int type);
    void checkPeriod(const Place& at, int sheet, int startRow, int startCol, int endRow,
                     int endCol);
    QString prefix(const Place& at) const;
    QString columnName(int sheet, int col) const;
    void report(const QString& line);
    void loadDirectories();

    IdentModel& m_model;
    TdmMSSQL& m_dm;
    Prompter& m_prompter;
    ExchangeView& m_view;
    ProtocolText& m_protocol;
    bool m_showSubordinate = false;
    StoragePeriods m_periods;
    QString m_objectsName;             // NAST.NAMEELM
    QMap<int, QString> m_aggregations; // NUMAGR → NAMEAGR
    int m_errors = 0;
    bool m_objectSeen = false;
    bool m_periodSeen = false;
};
