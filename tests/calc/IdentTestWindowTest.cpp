#include "ControlWindowFixture.h"
#include "TableLayout.h"

using namespace TableLayout;

namespace {

const QString Q = QStringLiteral("\"");

} // namespace

// "Тестирование" (Ctrl+U) in the table editor over the small directory of the fixture:
// indicators 25 and 26, code 40 in both aggregation directories and among the objects,
// 41 in " Районы " only, 77 among the objects only.
class IdentTestWindowTest : public ControlWindowFixture {
protected:
    static void SetUpTestSuite() {
        ControlWindowFixture::SetUpTestSuite();
        seedSmallDirectory();
        dbtest::exec(fact(), QStringLiteral("UPDATE NAST SET GODDOLG = '2024', GODOPER = '2024'"));
    }
    void rowSlot(int row, Slot s, double v) {
        book().setNumber(rowSheet(), row, rowSlotColumn(s), v);
    }
    void colSlot(int col, Slot s, double v) {
        book().setNumber(colSheet(), lastHeader() + int(s), col, v);
    }
    void kind(int sheetIndex, const QString& k) {
        book().setText(sheetIndex, int(TitleRow::Kind), kTitleValueCol, k);
    }
    QString rowPlace(int row, const char* column) {
        return QStringLiteral("БОКОВИК:  строка  %1,  столбец  ").arg(row) + Q +
               QString::fromLatin1(column) + Q;
    }
};

TEST_F(IdentTestWindowTest, ListsMissingCodesAndUndescribedPeriodsWithoutChangingCodes) {
    open();
    kind(1, QStringLiteral("Показатель"));
    const int r = body();
    rowSlot(r, Slot::IndicatorCode, 999);
    rowSlot(r, Slot::Object, 55);
    rowSlot(r, Slot::ObjectType, 99);
    rowSlot(r + 1, Slot::Object, 41);
    rowSlot(r + 1, Slot::ObjectType, 2);
    rowSlot(r + 2, Slot::Object, 40);  // no directory type
    rowSlot(r + 3, Slot::Cut1Type, 1); // a type beside no code is cleared
    colSlot(3, Slot::PeriodStart, 2003);
    colSlot(4, Slot::PeriodStart, 2024);
    colSlot(4, Slot::PeriodEnd, 2025);
    book().setNumberFormat(colSheet(), CellRange::cell(lastHeader() + int(Slot::PeriodEnd), 4),
                           QStringLiteral("mmm/yy"));

    const Shown seen = runShowingProtocol("imTestIdent");
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, QStringLiteral("Протокол тестирования идентификации"));
    const QStringList expected = {
        QStringLiteral("Таблица: ") + w->windowTitle(),
        rowPlace(r, "E") + QStringLiteral("  -  КОД  ПОКАЗАТЕЛЯ  999  ОТСУТСТВУЕТ  В  СПРАВОЧНИКЕ"),
        rowPlace(r, "J") + QStringLiteral("  -  КОД  ОБЪЕКТА  55  НЕ  НАЙДЕН  В  СПРАВОЧНИКЕ  ") +
            Q + QStringLiteral("Объекты") + Q,
        rowPlace(r + 1, "J") + QStringLiteral("  -  КОД  ОБЪЕКТА  41  НЕ НАЙДЕН В СПРАВОЧНИКЕ  ") +
            Q + QStringLiteral("Ведомства") + Q,
        rowPlace(r + 2, "J") + QStringLiteral("  -  КОД  ОБЪЕКТА  40  БЕЗ  ТИПА  СПРАВОЧНИКА"),
        QStringLiteral("ШАПКА:  столбец  ") + Q + QStringLiteral("C") + Q +
            QStringLiteral("  - НИЖНЯЯ ГРАНИЦA ПЕРИОДА НЕ ОПИСАНА В СИСТЕМЕ"),
        QStringLiteral("ШАПКА:  столбец  ") + Q + QStringLiteral("D") + Q +
            QStringLiteral("  - ВЕРХНЯЯ и НИЖНЯЯ ГРАНИЦЫ ПЕРИОДОВ РАЗНЫХ ВИДОВ"),
    };
    EXPECT_EQ(seen.text.split(QStringLiteral("\r\n")).mid(0, expected.size()), expected)
        << seen.text.toStdString();
    // The code without a type is reported, not dropped; the stale type is cleared.
    EXPECT_EQ(sheet(rowSheet()).number(r + 2, rowSlotColumn(Slot::Object)), 40);
    EXPECT_EQ(sheet(rowSheet()).number(r + 3, rowSlotColumn(Slot::Cut1Type)), 0);
    // The lookup in one directory is undone afterwards.
    EXPECT_FALSE(dm().query(QStringLiteral("quFindAgr"))
                     .text()
                     .contains(QStringLiteral("NUMAGR = :NUMAGR")));
}

TEST_F(IdentTestWindowTest, SheetsWithoutObjectsOrPeriodsAreNamed) {
    open(2);
    kind(1, QStringLiteral("Показатель"));
    kind(2, QStringLiteral("Разрез 1"));
    book().setNumber(2, int(TitleRow::Cut1), kTitleValueCol, 41);
    book().setNumber(2, int(TitleRow::Cut1), kTitleExtraCol, 1);
    const Shown seen = runShowingProtocol("imTestIdent");
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, QStringLiteral("Таблица: ") + w->windowTitle() +
                             QStringLiteral("\r\n1-й лист не идентифицирован объектами"
                                            "\r\n1-й лист не идентифицирован периодами"
                                            "\r\n2-й лист не идентифицирован периодами"));
}

TEST_F(IdentTestWindowTest, ACleanTableShowsTheSuccessBoxOnly) {
    open();
    kind(1, QStringLiteral("Период"));
    book().setNumber(1, int(TitleRow::PeriodStart), kTitleValueCol, 2024);
    const int r = body();
    rowSlot(r, Slot::IndicatorCode, 25);
    rowSlot(r, Slot::Object, 77);
    rowSlot(r, Slot::ObjectType, 99);
    colSlot(3, Slot::Cut1, 40);
    colSlot(3, Slot::Cut1Type, 2);
    m_prompter.clear();
    EXPECT_FALSE(runShowingProtocol("imTestIdent").shown);
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Ошибки в идентификации не обнаружены")});
    // The status panel and the progress bar are given back.
    EXPECT_NE(panel(1), QStringLiteral("Тестирование идентификации"));
    EXPECT_FALSE(w->findChild<QWidget*>(QStringLiteral("pbLoad"))->isVisible());
}

TEST_F(IdentTestWindowTest, EachZoneSpellsItsOwnLines) {
    open();
    kind(1, QStringLiteral("Период"));
    book().setNumber(1, int(TitleRow::PeriodStart), kTitleValueCol, 2003);
    book().setNumber(1, int(TitleRow::PeriodEnd), kTitleValueCol, 2002);
    const int r = body();
    rowSlot(r, Slot::Object, 77);
    rowSlot(r, Slot::ObjectType, 7); // no such aggregation directory
    // Dates of the operational fund, the end before the start.
    book().setEntry(rowSheet(), r, rowSlotColumn(Slot::PeriodStart), QStringLiteral("1.3.2024"));
    book().setEntry(rowSheet(), r, rowSlotColumn(Slot::PeriodEnd), QStringLiteral("1.1.2024"));
    colSlot(3, Slot::IndicatorCode, 3e9);

    const Shown seen = runShowingProtocol("imTestIdent");
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(m_prompter.texts().first(), QStringLiteral("Слишком большое вещественное число"));
    const QString H = QString::number(lastHeader() + int(Slot::IndicatorCode));
    EXPECT_EQ(
        seen.text.split(QStringLiteral("\r\n")).mid(1),
        (QStringList{
            rowPlace(r, "J") +
                QStringLiteral("  -  КОД  ОБЪЕКТА  77  НЕ НАЙДЕН НИ В ОДНОМ СПРАВОЧНИКЕ"),
            QStringLiteral("БОКОВИК:  строка  %1").arg(r) + Q +
                QStringLiteral("  - ВЕРХНЯЯ ГРАНИЦА ПЕРИОДА МЕНЬШЕ НИЖНЕЙ"),
            QStringLiteral("ШАПКА:  строка  ") + H + QStringLiteral(",  столбец  ") + Q + "C" + Q +
                QStringLiteral("  -  КОД ПОКАЗАТЕЛЯ  3000000000  БОЛЬШЕ  МАКСИМАЛЬНО  ВОЗМОЖНОГО"),
            QStringLiteral("ЗАГОЛОВОК 1-го  листа: НИЖНЯЯ ГРАНИЦA ПЕРИОДА НЕ ОПИСАНА В СИСТЕМЕ"),
            QStringLiteral("ЗАГОЛОВОК 1-го  листа: ВЕРХНЯЯ ГРАНИЦA ПЕРИОДА НЕ ОПИСАНА В НАСТРОЙКЕ"),
            QStringLiteral("ЗАГОЛОВОК 1-го  листа: ВЕРХНЯЯ ГРАНИЦA ПЕРИОДА МЕНЬШЕ НИЖНЕЙ"),
        }))
        << seen.text.toStdString();
}
