#include "HelpContexts.h"
#include "TableWindowFixture.h"
#include "TenderController.h"

#include <QProgressBar>

using namespace TableLayout;

namespace {

// The table editor window: "Собрать с подчиненных" and the menu "Тендер" as the user
// reaches them.
class TenderWindowTest : public TableWindowFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        for (const char* sql : {
                 "ALTER TABLE ELM ADD KOD1 DOUBLE PRECISION",
                 "ALTER TABLE FD_DOLGELM ADD D1 VARCHAR(250)",
                 "INSERT INTO SPISAGR (NUMAGR, NAMEAGR) VALUES (1, 'Районы')",
                 "UPDATE NAST SET GODDOLG = '2003'",
                 "INSERT INTO POK (KODELMT, NAMEFOLDER) VALUES (7, 'Семь')",
                 "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1) VALUES (1, 701, 'А', 5)",
                 "INSERT INTO ELM (NPP, KODFOLDER, NAMEFOLDER, KOD1) VALUES (2, 702, 'Б', 5)",
                 "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1) "
                 "VALUES (701, 7, 0, 0, '2')",
                 "INSERT INTO FD_DOLGELM (KODFOLDER, KODPOK, KODPOK1, KODPOK2, D1) "
                 "VALUES (702, 7, 0, 0, '3.5')",
             })
            dbtest::exec(fact(), QString::fromUtf8(sql));
        LoadStoragePeriods(dm(), CurrentStoragePeriods());
    }
};

} // namespace

TEST_F(TenderWindowTest, CollectFromTheMenuSumsTheNodesObjects) {
    open(1);
    book().setNumber(rowSheet(), 101, rowSlotColumn(Slot::IndicatorCode), 7);
    book().setNumber(colSheet(), w->document().model().colSlotRow(Slot::PeriodStart), 3, 2003);
    book().setNumber(1, int(TitleRow::Object), kTitleValueCol, 5);
    book().setNumber(1, int(TitleRow::Object), kTitleExtraCol, 1);
    ASSERT_TRUE(enabled("imCalcAgr"));
    ASSERT_TRUE(enabled("sbCalcAgr"));
    trigger("imCalcAgr");
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join(u'|').toStdString();
    EXPECT_DOUBLE_EQ(sheet(1).number(101, 3), 5.5);
    EXPECT_FALSE(w->findChild<QProgressBar*>(QStringLiteral("pbLoad"))->isVisible());
}

TEST_F(TenderWindowTest, TenderMenuOfAnOffersTable) {
    const int kod = newTable();
    dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET KODALT = 'Пост.' WHERE KODELMT = :K"),
                 {{"K", kod}});
    w = std::make_unique<TfmKisTabl>(dm(), m_prompter);
    w->openTable(TableRef::read(dm(), kod).value_or(TableRef{}));
    trigger("MinsSheet");
    EXPECT_TRUE(w->findChild<QAction*>(QStringLiteral("MTender"))->isVisible());
    for (int s = 1; s <= 2; ++s) {
        book().setText(s, 99, 3, QStringLiteral("Поставщик %1").arg(s));
        book().setNumber(s, 101, 5, 10);
        book().setNumber(s, 101, 6, 10);
        book().setNumber(s, 101, 7, 3 - s);
    }
    EXPECT_EQ(w->helpContext(), HelpContexts::TableEditor);
    trigger("mPredl");
    EXPECT_EQ(w->helpContext(), HelpContexts::TenderOrder) << "F1 on the consolidated order";
    EXPECT_EQ(book().sheetCount(), 6);
    EXPECT_EQ(TenderController::markOf(book(), 1), QStringLiteral("Svod"));
    EXPECT_EQ(sheet(1).text(101, 8), QStringLiteral("Поставщик 2"));
    EXPECT_EQ(w->Book->sheet(), 1) << "the control shows the consolidated order";
}
