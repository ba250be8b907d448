#include "HelpContexts.h"
#include "HelpKey.h"
#include "TableWindowFixture.h"
#include "TenderController.h"
#include "TfmZamena.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

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

TEST_F(TenderWindowTest, RightClickInTheOrderReplacesTheSupplier) {
    const int kod = newTable();
    dbtest::exec(tab(), QStringLiteral("UPDATE CAT SET KODALT = 'Пост.' WHERE KODELMT = :K"),
                 {{"K", kod}});
    w = std::make_unique<TfmKisTabl>(dm(), m_prompter);
    w->openTable(TableRef::read(dm(), kod).value_or(TableRef{}));
    trigger("MinsSheet");
    trigger("MinsSheet");
    // Row 101: prices 1, 2, 3 with the dearest short of the request; row 102: the first
    // two suppliers only.
    for (int s = 1; s <= 3; ++s) {
        book().setText(s, 99, 3, QStringLiteral("Поставщик %1").arg(s));
        book().setNumber(s, 101, 5, 10);
        book().setNumber(s, 101, 6, s == 2 ? 7 : 10);
        book().setNumber(s, 101, 7, s);
        book().setNumber(s, 102, 5, 4);
        if (s < 3) {
            book().setNumber(s, 102, 6, 4);
            book().setNumber(s, 102, 7, 10 * s);
        }
    }
    trigger("mPredl");
    ASSERT_EQ(w->Book->sheet(), 1);
    // Right click on a cell of the row; `inWindow` runs in the modal window.
    auto rightClick = [&](int row, std::function<void(TfmZamena*)> inWindow) {
        TfmZamena* seen = nullptr;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<TfmZamena*>(QApplication::activeModalWidget());
            if (seen)
                inWindow(seen);
            if (QWidget* still = QApplication::activeModalWidget())
                still->close();
        });
        emit w->Book->OnRClick(row, 5);
        return seen != nullptr;
    };
    ASSERT_TRUE(rightClick(101, [](TfmZamena* z) {
        EXPECT_EQ(z->windowTitle(), QStringLiteral("Замена поставщика"));
        EXPECT_EQ(z->pnPost->text(), QStringLiteral("Поставщик 1"));
        EXPECT_EQ(z->Lsum1->text(), QStringLiteral("10"));
        ASSERT_EQ(z->CBZam->count(), 3);
        EXPECT_EQ(z->CBZam->currentText(), QStringLiteral("Поставщик 2"));
        EXPECT_EQ(z->Lcena2->text(), QStringLiteral("2"));
        EXPECT_EQ(z->Ldef2->text(), QStringLiteral("3"));
        EXPECT_EQ(z->Lproc->text(), QStringLiteral("100.00%"));
        EXPECT_EQ(z->Lotkl->text(), QStringLiteral("+4.00"));
        z->CBZam->setCurrentIndex(2);
        EXPECT_EQ(z->Lotkl->text(), QStringLiteral("+20.00")) << "follows the choice";
        z->CBZam->setCurrentIndex(1);
        EXPECT_EQ(HelpContextOf(z), HelpContexts::TenderReplace);
        z->bApply->click();
    }));
    const Sheet& sv = sheet(1);
    EXPECT_DOUBLE_EQ(sv.number(101, 5), 7);
    EXPECT_DOUBLE_EQ(sv.number(101, 6), 2);
    EXPECT_DOUBLE_EQ(sv.number(101, 7), 14);
    EXPECT_EQ(sv.text(101, 8), QStringLiteral("Поставщик 2"));
    EXPECT_EQ(sv.text(102, 8), QStringLiteral("Поставщик 1")) << "one row only";
    ASSERT_TRUE(enabled("Mundo"));
    trigger("Mundo");
    EXPECT_EQ(sv.text(101, 8), QStringLiteral("Поставщик 1"));

    ASSERT_TRUE(rightClick(102, [](TfmZamena* z) {
        z->cbAll->setChecked(true);
        z->bApply->click();
    }));
    EXPECT_EQ(sv.text(101, 8), QStringLiteral("Поставщик 2"));
    EXPECT_EQ(sv.text(102, 8), QStringLiteral("Поставщик 2"));
    EXPECT_DOUBLE_EQ(sv.number(102, 7), 80);
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join(u'|').toStdString();
}
