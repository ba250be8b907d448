#include "TableDbFixture.h"

#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "TableDocument.h"
#include "TableRef.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

class TableDocumentTest : public TableDbFixture {
protected:
    TableRef refOf(int kodElmt) {
        auto ref = TableRef::read(dm(), kodElmt);
        EXPECT_TRUE(ref.has_value());
        return ref.value_or(TableRef{});
    }
};

} // namespace

TEST_F(TableDocumentTest, EmptyBlobOpensTheInitialWorkbook) {
    const int table = newTable();
    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));

    EXPECT_TRUE(m_prompter.texts().isEmpty());
    EXPECT_FALSE(doc.storedUnreadable());
    ASSERT_EQ(book.sheetCount(), 3);
    EXPECT_EQ(doc.model().titleRows(), 1);
    EXPECT_EQ(doc.model().headerRows(), 1);
    EXPECT_EQ(doc.model().firstBodyRow(), 101);
    EXPECT_EQ(book.activeSheetIndex(), 1);
    const SheetOptions& o = book.sheet(1).options();
    EXPECT_EQ(o.topRow, 99);
    EXPECT_EQ(o.leftCol, 2);
    EXPECT_EQ(o.activeRow, 101);
    EXPECT_EQ(o.activeCol, 3);
    EXPECT_EQ(doc.settings().rowTotals, 1);
    EXPECT_EQ(doc.settings().colTotals, 2);
    EXPECT_TRUE(doc.settings().showEmptyRows);
    EXPECT_FALSE(doc.sheetListEnabled());
    EXPECT_FALSE(doc.accompanyingTextShown());
    EXPECT_TRUE(storedBytes(table).isEmpty()) << "opening never writes";
}

TEST_F(TableDocumentTest, SaveAndReopenKeepEverySheetAndSetting) {
    const int table = newTable();
    {
        Workbook book;
        TableDocument doc(dm(), book, m_prompter);
        doc.open(refOf(table));
        book.insertSheet(1);
        book.setText(1, 100, 3, QStringLiteral("Всего"));
        book.setNumber(2, 101, 3, 12.5);
        book.setFormula(2, 102, 3, QStringLiteral("=C101*2"));
        doc.model().setHeaderRows(2);
        doc.model().setSetting(Setting::RowTotals, 3);
        doc.model().setSetting(Setting::HideEmptyCols, 1);
        book.setNumber(doc.model().rowIdentSheet(), 101, rowSlotColumn(Slot::IndicatorCode), 25);
        book.sheet(2).setRowHidden(105, true);
        ASSERT_EQ(doc.save(), TableDocument::SaveResult::Saved);
    }
    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    EXPECT_TRUE(m_prompter.texts().isEmpty()) << m_prompter.texts().join('|').toStdString();
    ASSERT_EQ(book.sheetCount(), 4);
    EXPECT_EQ(book.sheet(1).text(100, 3), QStringLiteral("Всего"));
    EXPECT_EQ(book.sheet(2).number(102, 3), 25.0);
    EXPECT_EQ(book.sheet(2).formula(102, 3), QStringLiteral("=C101*2"));
    EXPECT_TRUE(book.sheet(2).rowHidden(105));
    EXPECT_EQ(doc.model().headerRows(), 2);
    EXPECT_EQ(doc.model().firstBodyRow(), 102);
    EXPECT_EQ(doc.settings().rowTotals, 3);
    EXPECT_FALSE(doc.settings().showEmptyCols);
    EXPECT_EQ(doc.model().rowCode(101, Slot::IndicatorCode), 25);
    EXPECT_TRUE(doc.sheetListEnabled());
    EXPECT_EQ(book.sheet(3).text(91, 2), QStringLiteral("Идентификация боковика таблицы"));
}

TEST_F(TableDocumentTest, ClosingAsksAndNoLeavesTheStoredTableAlone) {
    const int table = newTable();
    Workbook first;
    TableDocument saved(dm(), first, m_prompter);
    saved.open(refOf(table));
    ASSERT_EQ(saved.save(), TableDocument::SaveResult::Saved);
    const QByteArray before = storedBytes(table);

    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    book.setNumber(1, 101, 3, 7);
    m_prompter.answer(Answer::Cancel).answer(Answer::No);
    EXPECT_FALSE(doc.close());
    EXPECT_TRUE(doc.close());
    ASSERT_EQ(m_prompter.shown().size(), 2);
    EXPECT_EQ(m_prompter.shown()[0].text, QStringLiteral("Сохранить таблицу ?"));
    EXPECT_EQ(m_prompter.shown()[0].caption, QStringLiteral("Подтверждение"));
    EXPECT_EQ(m_prompter.shown()[0].buttons, QuestionButtons::YesNoCancel);
    EXPECT_EQ(storedBytes(table), before);
}

TEST_F(TableDocumentTest, ClosingWithYesSavesTheEditBarAndUngroupsSheets) {
    const int table = newTable();
    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    book.insertSheet(1);
    book.insertSheet(1);
    book.setActiveSheet(3);
    book.setInEditGroup(2, true);
    doc.setEditBarShown(true);
    m_prompter.answer(Answer::Yes);
    EXPECT_TRUE(doc.close());
    EXPECT_EQ(book.activeSheetIndex(), 1);
    EXPECT_FALSE(book.isInEditGroup(2));

    Workbook stored;
    ASSERT_TRUE(NativeFormat::load(stored, storedBytes(table)));
    EXPECT_EQ(stored.sheetCount(), 5);
    EXPECT_EQ(stored.sheet(4).number(int(Setting::EditBar), 1), 1.0);
}

TEST_F(TableDocumentTest, CorruptStoredTableWarnsAndIsKeptUntilSaved) {
    const int table = newTable();
    const QByteArray damaged("not a workbook at all, just bytes");
    storeBytes(table, damaged);

    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    EXPECT_TRUE(doc.storedUnreadable());
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_TRUE(m_prompter.shown()[0].text.startsWith(TableDocument::unreadableMessage()));
    EXPECT_EQ(m_prompter.shown()[0].icon, PromptIcon::Warning);
    EXPECT_EQ(book.sheetCount(), 3);

    // Closing says that saving replaces what is stored, and leans to keeping it.
    m_prompter.clear();
    m_prompter.answer(Answer::No);
    EXPECT_TRUE(doc.close());
    EXPECT_EQ(storedBytes(table), damaged);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.lastText(), TableDocument::replaceQuestion());
    EXPECT_EQ(m_prompter.shown()[0].buttons, QuestionButtons::YesNoCancel);
    EXPECT_EQ(m_prompter.shown()[0].defaultButton, Answer::No);

    Workbook again;
    TableDocument second(dm(), again, m_prompter);
    second.open(refOf(table));
    m_prompter.clear();
    m_prompter.answer(Answer::No);
    EXPECT_EQ(second.save(), TableDocument::SaveResult::Cancelled);
    EXPECT_EQ(storedBytes(table), damaged);
    EXPECT_EQ(m_prompter.lastText(), TableDocument::replaceQuestion());
    EXPECT_EQ(m_prompter.shown()[0].defaultButton, Answer::No);
    m_prompter.answer(Answer::Yes);
    ASSERT_EQ(second.save(), TableDocument::SaveResult::Saved);
    EXPECT_NE(storedBytes(table), damaged);
    // Replaced once, it is this table's own: the usual question again.
    m_prompter.clear();
    m_prompter.answer(Answer::No);
    EXPECT_TRUE(second.close());
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Сохранить таблицу ?")});
}

TEST_F(TableDocumentTest, AWorkbookWithoutIdentificationSheetsIsNotTakenForATable) {
    const int table = newTable();
    Workbook single(1);
    single.setNumber(1, 1, 1, 5);
    const QByteArray bytes = NativeFormat::save(single);
    storeBytes(table, bytes);
    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    EXPECT_TRUE(doc.storedUnreadable());
    EXPECT_EQ(book.sheetCount(), 3);
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_TRUE(m_prompter.lastText().endsWith(QStringLiteral("В книге меньше трех листов")));
    EXPECT_EQ(storedBytes(table), bytes);
}

TEST_F(TableDocumentTest, SavingAsksTheTablePasswordWhenItGuardsSaving) {
    const int table = newTable();
    dbtest::exec(tab(),
                 QStringLiteral("UPDATE CAT SET PAROL = 'Ключ', TYPEUSE = 2 WHERE KODELMT = :K"),
                 {{"K", table}});
    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    m_prompter.input(QStringLiteral("ключ")).input(std::nullopt);
    EXPECT_EQ(doc.save(), TableDocument::SaveResult::Cancelled);
    EXPECT_TRUE(storedBytes(table).isEmpty());
    EXPECT_TRUE(m_prompter.texts().contains(QStringLiteral("Неверный пароль")));

    m_prompter.clear();
    m_prompter.input(QStringLiteral("Ключ"));
    EXPECT_EQ(doc.save(), TableDocument::SaveResult::Saved);
    EXPECT_FALSE(storedBytes(table).isEmpty());

    // Scope 1 guards opening only: saving asks nothing.
    dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET TYPEUSE = 1 WHERE KODELMT = :K"),
                 {{"K", table}});
    m_prompter.clear();
    doc.setTable(refOf(table));
    EXPECT_EQ(doc.save(), TableDocument::SaveResult::Saved);
    EXPECT_TRUE(m_prompter.shown().isEmpty());
}

TEST_F(TableDocumentTest, SavingADeletedTableIsNotReportedAsDone) {
    const int table = newTable();
    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    dbtest::call(tab(), "DELETE_CAT", {{"KOD_ELMT", table}});
    EXPECT_EQ(doc.save(), TableDocument::SaveResult::Failed);
    EXPECT_EQ(m_prompter.shown().size(), 1);
    // Closing with Yes keeps the window open, so the work can still go to a file.
    m_prompter.answer(Answer::Yes);
    EXPECT_FALSE(doc.close());
}

TEST_F(TableDocumentTest, AUserWithoutRightsIsToldSavingIsForbidden) {
    const int table = newTable();
    dbtest::exec(tab(), QStringLiteral("GRANT SELECT ON CAT TO CLERK"));
    TdmMSSQL clerk(m_prompter);
    clerk.SetConnectionParams(clerk.dbTab, s_dbs->tabPath(), QStringLiteral("any"),
                              QStringLiteral("CLERK"));
    clerk.SetConnectionParams(clerk.dbMain, s_dbs->factPath(), TestDatabases::password(),
                              TestDatabases::user());
    clerk.dbTab.open();
    clerk.dbMain.open();
    Workbook book;
    TableDocument doc(clerk, book, m_prompter);
    doc.open(refOf(table));
    ASSERT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_EQ(doc.save(), TableDocument::SaveResult::RightsDenied);
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("Пользователю CLERK сохранение таблицы запрещенo")});
    EXPECT_FALSE(clerk.dbTab.inTransaction());
    EXPECT_TRUE(storedBytes(table).isEmpty());
    // The user can never save here, so closing with Yes tells it again and lets go.
    m_prompter.answer(Answer::Yes);
    EXPECT_TRUE(doc.close());
    EXPECT_EQ(
        m_prompter.texts().count(QStringLiteral("Пользователю CLERK сохранение таблицы запрещенo")),
        2);
}

TEST_F(TableDocumentTest, MissingRecalcAndTotalsSettingsTakeTheirDefaults) {
    const int table = newTable();
    Workbook stored;
    InitialWorkbook::build(stored);
    for (const Setting s : {Setting::RecalcOrder, Setting::RowTotals, Setting::ColTotals})
        stored.clearCell(2, int(s), 1);
    stored.setNumber(2, int(Setting::ShowZeros), 1, 1);
    stored.setNumber(2, int(Setting::HideEmptyRows), 1, 1);
    stored.setNumber(2, int(Setting::EditBar), 1, 1);
    storeBytes(table, NativeFormat::save(stored));

    Workbook book;
    TableDocument doc(dm(), book, m_prompter);
    doc.open(refOf(table));
    EXPECT_EQ(doc.settings().recalcOrder, 1);
    EXPECT_EQ(doc.settings().rowTotals, 1);
    EXPECT_EQ(doc.settings().colTotals, 2);
    EXPECT_EQ(doc.model().setting(Setting::ColTotals), 2);
    EXPECT_TRUE(doc.settings().showZeros);
    EXPECT_FALSE(doc.settings().showEmptyRows);
    EXPECT_TRUE(doc.settings().showEmptyCols);
    EXPECT_TRUE(doc.settings().editBar);
}
