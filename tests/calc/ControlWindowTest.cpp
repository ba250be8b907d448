#include "ControlWindowFixture.h"
#include "ProtocolText.h"
#include "TableLayout.h"

using namespace TableLayout;

namespace {

const QString kRowPlace =
    QStringLiteral("Условие контроля над строкой задается\r     в первой колонке таблицы!");
const QString kColPlace =
    QStringLiteral("Условие контроля над колонкой задается\r     в первой строке таблицы!");

} // namespace

class ControlWindowTest : public ControlWindowFixture {};

TEST_F(ControlWindowTest, ColumnConditionReportsEveryFailingCellEmptyOnesAsZero) {
    open();
    headers(4);
    const int r = body();
    book().setNumber(1, r, 3, 5);
    book().setNumber(1, r + 2, 3, -1);
    book().setNumber(1, r + 2, 4, 7); // the last row; C of the middle row stays empty
    book().setText(1, kFirstTitleRow + 8, 2, QStringLiteral("Коечный фонд"));

    cursor(r, 3);
    const DialogStart start = enterCondition("ConCol", QStringLiteral("C%1>0").arg(r),
                                             QStringLiteral("Должно быть больше нуля"));
    ASSERT_TRUE(start.opened);
    EXPECT_EQ(start.caption, QStringLiteral("Установка условий контроля над колонкой"));
    EXPECT_EQ(start.condition, QStringLiteral("C%1").arg(r)); // the cell's own address
    EXPECT_FALSE(start.stayedOpen);
    EXPECT_TRUE(sheet(1).validationRules().empty());

    const Shown seen = runShowingProtocol("MControl");
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, QStringLiteral("Протокол ошибок"));
    const QString expected =
        QStringLiteral("Таблица \"%1\"     %2\r\nСтраница \" Коечный фонд     \"\r\n\r\n")
            .arg(w->windowTitle(), ProtocolDate()) +
        QStringLiteral("Ячейка C%1 со значением 0 и условием C%1>0\r\n"
                       "   Должно быть больше нуля\r\n"
                       "Ячейка C%2 со значением -1 и условием C%2>0\r\n"
                       "   Должно быть больше нуля")
            .arg(r + 1)
            .arg(r + 2);
    EXPECT_EQ(seen.text, expected) << seen.text.toStdString();
    EXPECT_EQ(sheet(1).type(r + 1, 3), 1); // the empty cell now holds 0
    EXPECT_TRUE(sheet(1).validationRules().empty()) << "no rule is left after the run";

    // A second run starts the protocol afresh.
    book().setNumber(1, r + 1, 3, 2);
    const Shown again = runShowingProtocol("MControl");
    ASSERT_TRUE(again.shown);
    EXPECT_TRUE(again.text.startsWith(QStringLiteral("Таблица \"%1\"").arg(w->windowTitle())));
    EXPECT_EQ(again.text.count(QStringLiteral("Страница ")), 1);
    EXPECT_EQ(again.text.count(QStringLiteral("Ячейка ")), 1);
    EXPECT_TRUE(again.text.contains(QStringLiteral("Ячейка C%1 ").arg(r + 2)));
}

TEST_F(ControlWindowTest, RowConditionMovesWithTheTestedCell) {
    open();
    headers(5);
    const int r = body();
    book().setNumber(1, r, 3, 10);
    book().setNumber(1, r, 4, 20);
    book().setNumber(1, r, 5, 5);
    // Each cell at least the cell to its right: E is compared with the empty F.
    cursor(r, 4);
    EXPECT_FALSE(
        enterCondition("ConRow", QStringLiteral("C%1>=D%1").arg(r), QStringLiteral("x")).opened);
    EXPECT_EQ(m_prompter.lastText(), kRowPlace);
    cursor(r, 3);
    const DialogStart start =
        enterCondition("ConRow", QStringLiteral("C%1<=15").arg(r), QStringLiteral("Не больше 15"));
    EXPECT_EQ(start.caption, QStringLiteral("Установка условий контроля над строкой"));
    const Shown seen = runShowingProtocol("MControl");
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.text.contains(
        QStringLiteral("Ячейка D%1 со значением 20 и условием D%1<=15\r\n   Не больше 15").arg(r)))
        << seen.text.toStdString();
    EXPECT_EQ(seen.text.count(QStringLiteral("Ячейка ")), 1);
    // The page title falls back to the sheet's name.
    EXPECT_TRUE(seen.text.contains(QStringLiteral("Страница \"") + sheet(1).name() + "\"\r\n"));
}

TEST_F(ControlWindowTest, DecimalTotalsAreNotReportedAsErrors) {
    open();
    headers(3);
    const int r = body();
    book().setNumber(1, r, 3, 0.3);
    book().setNumber(1, r + 1, 3, 0.1);
    book().setNumber(1, r + 2, 3, 0.2);
    cursor(r, 3);
    enterCondition("ConRow", QStringLiteral("C%1=C%2+C%3").arg(r).arg(r + 1).arg(r + 2),
                   QStringLiteral("Итог не равен сумме"));
    m_prompter.clear();
    EXPECT_FALSE(runShowingProtocol("MControl").shown);
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Ошибки не обнаружены")});
}

TEST_F(ControlWindowTest, RefusedConditionsAndMessagesStoreNothing) {
    open();
    headers(3);
    const int r = body();
    cursor(r + 1, 3);
    EXPECT_FALSE(enterCondition("ConCol", QStringLiteral("x"), QStringLiteral("y")).opened);
    EXPECT_EQ(m_prompter.lastText(), kColPlace);

    cursor(r, 3);
    m_prompter.clear();
    DialogStart start =
        enterCondition("ConCol", QStringLiteral("C%1>>0").arg(r), QStringLiteral("Сообщение"));
    EXPECT_TRUE(start.stayedOpen);
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Условие задано неверно")});
    EXPECT_EQ(m_prompter.shown().last().icon, PromptIcon::Error);

    m_prompter.clear();
    start = enterCondition("ConCol", QStringLiteral("C%1>0").arg(r), QStringLiteral("   "));
    EXPECT_TRUE(start.stayedOpen);
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Не задан текст сообщения об ошибке!")});

    const Sheet& cols = sheet(colSheet());
    EXPECT_TRUE(cols.text(lastHeader() + 22, 3).isEmpty());
    EXPECT_TRUE(cols.text(lastHeader() + 24, 3).isEmpty());
    EXPECT_TRUE(sheet(1).validationRules().empty());
    m_prompter.clear();
    EXPECT_FALSE(runShowingProtocol("MViewControl").shown);
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Условия контроля в текущем листе не обнаружены")});
}

TEST_F(ControlWindowTest, ConditionsKeepRowTwoAndTheUnitOfMeasure) {
    open();
    headers(3);
    const int r = body();
    book().setText(1, 2, 3, QStringLiteral("строка 2 занята"));
    book().setText(rowSheet(), r, 25, QStringLiteral("коек"));
    cursor(r, 3);
    const DialogStart start =
        enterCondition("ConRow", QStringLiteral("C%1>=0").arg(r), QStringLiteral("Отрицательное"));
    EXPECT_EQ(start.condition, QStringLiteral("C%1").arg(r));
    EXPECT_EQ(sheet(1).text(2, 3), QStringLiteral("строка 2 занята"));
    EXPECT_EQ(sheet(rowSheet()).text(r, 25), QStringLiteral("коек"));
    EXPECT_EQ(sheet(rowSheet()).text(r, 24), QStringLiteral("C%1>=0").arg(r));

    // Entering again shows what is stored.
    const DialogStart again =
        enterCondition("ConRow", QStringLiteral("C%1>=1").arg(r), QStringLiteral("Меньше единицы"));
    EXPECT_EQ(again.condition, QStringLiteral("C%1>=0").arg(r));
    EXPECT_EQ(again.message, QStringLiteral("Отрицательное"));
    EXPECT_EQ(sheet(rowSheet()).text(r, 25), QStringLiteral("коек"));
}

TEST_F(ControlWindowTest, ListingShowsColumnsThenRowsAndReadsOlderTables) {
    open();
    headers(4);
    const int r = body();
    cursor(r, 4);
    enterCondition("ConCol", QStringLiteral("D%1<>0").arg(r), QStringLiteral("Пусто"));
    // A table written before the message had its own slot: the message where the unit goes.
    book().setText(rowSheet(), r + 1, 24, QStringLiteral("C%1<100").arg(r + 1));
    book().setText(rowSheet(), r + 1, 25, QStringLiteral("Слишком много"));
    book().setNumber(1, r + 1, 3, 500);

    const Shown seen = runShowingProtocol("MViewControl");
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, QStringLiteral("Условия контроля"));
    EXPECT_EQ(seen.text, QStringLiteral("Таблица \"%1\"     %2\r\n\r\n"
                                        "     D%3<>0\r\n"
                                        "             Пусто\r\n"
                                        "     C%4<100\r\n"
                                        "             Слишком много")
                             .arg(w->windowTitle(), ProtocolDate())
                             .arg(r)
                             .arg(r + 1));
    const Shown run = runShowingProtocol("MControl");
    EXPECT_TRUE(run.text.contains(QStringLiteral("   Слишком много"))) << run.text.toStdString();
}

TEST_F(ControlWindowTest, AnEntryBreakingARuleIsRefusedWithItsMessage) {
    open();
    const int r = body();
    ASSERT_TRUE(book().setValidation(1, CellRange(r, 3, r + 5, 3), QStringLiteral("C%1>0").arg(r),
                                     QString()));
    ASSERT_TRUE(book().setValidation(1, CellRange(r, 4, r, 4), QStringLiteral("D%1<10").arg(r),
                                     QStringLiteral("Не больше девяти")));
    cursor(r + 2, 3);
    w->Book->commitEntry(QStringLiteral("-4"));
    cursor(r, 4);
    w->Book->commitEntry(QStringLiteral("12"));
    EXPECT_EQ(m_prompter.texts(), (QStringList{QStringLiteral("Нарушено условие контроля"),
                                               QStringLiteral("Не больше девяти")}));
    EXPECT_EQ(sheet(1).type(r + 2, 3), 0);
    EXPECT_EQ(sheet(1).type(r, 4), 0);
    cursor(r + 2, 3);
    w->Book->commitEntry(QStringLiteral("4"));
    EXPECT_EQ(sheet(1).number(r + 2, 3), 4);
}
