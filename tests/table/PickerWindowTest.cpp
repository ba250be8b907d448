#include "TableWindowFixture.h"

#include "IdentOptions.h"
#include "PickClick.h"
#include "StoragePeriods.h"
#include "TfmPokView.h"
#include "TfmTime.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

using namespace TableLayout;

namespace {

// The editor's pickers opened by a right click, driven through their windows.
class PickerWindowTest : public TableWindowFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
        dbtest::exec(fact(), QStringLiteral("INSERT INTO RUB (KODFOLDER, NPP, NAMEFOLDER, NLEVEL) "
                                            "VALUES (1, 1, 'Кадры', 1)"));
        dbtest::exec(fact(), QStringLiteral("UPDATE NAST SET GODOPER = '2004', GODDOLG = '2004'"));
    }
    void SetUp() override {
        m_saved = CurrentIdentOptions();
        CurrentIdentOptions().showEachTime = false;
        CurrentIdentOptions().transferNames = true;
        CurrentIdentOptions().identMode = 0;
    }
    void TearDown() override { CurrentIdentOptions() = m_saved; }
    // Right click on (row, col) of the active sheet; `inPicker` runs in the modal window.
    void rightClick(int row, int col, std::function<void(QWidget*)> inPicker) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ran = dialog != nullptr;
            if (dialog)
                inPicker(dialog);
            if (QWidget* still = QApplication::activeModalWidget())
                still->close();
        });
        emit w->Book->OnRClick(row, col);
        EXPECT_TRUE(ran);
    }
    QString rowEntry(int row, Slot s) { return sheet(rowSheet()).entry(row, rowSlotColumn(s)); }

    IdentOptions m_saved;
};

TEST_F(PickerWindowTest, IndicatorsGoInInMarkingOrderAsOneUndoStep) {
    open(2);
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    rightClick(r, 5, [](QWidget* dialog) {
        auto* view = qobject_cast<TfmPokView*>(dialog);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->objectName(), QStringLiteral("fmPokView"));
        view->openRubric(1);
        view->toggleRow(1); // "Врачей" first
        view->toggleRow(0);
        view->toggleRow(1); // unmarked: the gap closes
        view->toggleRow(1);
        ASSERT_EQ(view->marks().chosen().size(), 2);
        EXPECT_EQ(view->marks().chosen()[0].code, 25);
        view->SBtableClick();
        EXPECT_FALSE(view->isVisible());
    });
    EXPECT_EQ(rowEntry(r, Slot::IndicatorShown), QStringLiteral("-25"));
    EXPECT_EQ(rowEntry(r + 1, Slot::IndicatorShown), QStringLiteral("В-1"));
    EXPECT_EQ(sheet(2).entry(r + 1, kSideCol), QStringLiteral("Врачей"));
    EXPECT_EQ(w->Book->activeRow(), r);
    EXPECT_TRUE(w->fmPokView().marks().isEmpty()) << "the choice ends with the window";
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();
    ASSERT_TRUE(enabled("Mundo"));
    trigger("Mundo");
    EXPECT_EQ(rowEntry(r, Slot::IndicatorShown), QString());
    EXPECT_EQ(rowEntry(r + 1, Slot::IndicatorShown), QString());
}

TEST_F(PickerWindowTest, PeriodPickerWritesMonthsOfTheChosenYear) {
    open();
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    rightClick(r, rowSlotColumn(Slot::PeriodStart), [](QWidget* dialog) {
        auto* time = qobject_cast<TfmTime*>(dialog);
        ASSERT_NE(time, nullptr);
        EXPECT_FALSE(time->bOK->isEnabled());
        ASSERT_EQ(time->lbOperG->count(), 1);
        time->lbOperG->setCurrentRow(0);
        emit time->lbOperG->itemClicked(time->lbOperG->item(0));
        for (int m : {2, 4}) // March and May
            time->lbOperM->item(m)->setSelected(true);
        emit time->lbOperM->itemClicked(time->lbOperM->item(4));
        ASSERT_TRUE(time->bOK->isEnabled());
        time->bOK->click();
    });
    EXPECT_EQ(sheet(1).entry(r, kSideCol), QStringLiteral("Март"));
    EXPECT_EQ(sheet(1).entry(r + 1, kSideCol), QStringLiteral("Май"));
    EXPECT_EQ(sheet(rowSheet()).format(r + 1, rowSlotColumn(Slot::PeriodStart)).numberFormat,
              QStringLiteral("mmm/yy"));
    const PeriodBounds read =
        ParsePeriodBounds(w->document().model().rowPeriod(r + 1, Slot::PeriodStart).entry, {});
    EXPECT_EQ(read.beginMonth, 5);
    EXPECT_EQ(read.beginYear, 2004);
}

TEST_F(PickerWindowTest, MonthsWithoutAYearAreRefused) {
    open();
    trigger("mIdBok");
    rightClick(lastHeader() + 1, rowSlotColumn(Slot::PeriodEnd), [](QWidget* dialog) {
        auto* time = qobject_cast<TfmTime*>(dialog);
        ASSERT_NE(time, nullptr);
        time->lbOperM->item(0)->setSelected(true);
        emit time->lbOperM->itemClicked(time->lbOperM->item(0));
        EXPECT_TRUE(time->lbOperM->selectedItems().isEmpty());
        EXPECT_FALSE(time->bOK->isEnabled());
    });
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Не выбран год")});
}

TEST_F(PickerWindowTest, ObjectSlotsOfferTheDirectoriesInThePopUp) {
    open();
    trigger("mIdBok");
    emit w->Book->OnRClick(lastHeader() + 1, rowSlotColumn(Slot::Cut1));
    QStringList captions;
    for (QAction* a : w->PopMenu->actions())
        if (!a->isSeparator())
            captions << a->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Районы"), QStringLiteral("Ведомства"),
                                     QStringLiteral("Объекты")}));
    w->PopMenu->close();
    EXPECT_TRUE(m_prompter.shown().isEmpty());
}

TEST_F(PickerWindowTest, TitleAttributeNeedsTheIndicatorOfAnIndicatorTitle) {
    open();
    trigger("mIdZag");
    chooseKind(0); // "Показатель"
    m_prompter.clear();
    emit w->Book->OnRClick(int(TitleRow::Attr1), kTitleValueCol);
    EXPECT_EQ(m_prompter.texts(), QStringList{PickClick::noIndicator()});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PickerWindowTest, ListCommandsFollowTheModeAndTheLists) {
    open();
    QMenu* ident = nullptr;
    for (QMenu* m : w->findChildren<QMenu*>())
        if (m->title() == QStringLiteral("&Идентификация"))
            ident = m;
    ASSERT_NE(ident, nullptr);
    emit ident->aboutToShow();
    EXPECT_FALSE(enabled("MCrSpFrTable"));
    trigger("mIdBok");
    emit ident->aboutToShow();
    EXPECT_TRUE(enabled("MCrSpFrTable"));
    EXPECT_FALSE(enabled("MDelSpis")) << "no list yet";
    w->MDelSpisClick();
    EXPECT_EQ(m_prompter.texts(), QStringList{QStringLiteral("Списки отсутствуют")});
    dbtest::call(fact(), "INSERT_SPIS", {{"NAME", QStringLiteral("Один")}});
    emit ident->aboutToShow();
    EXPECT_TRUE(enabled("MDelSpis"));
}

} // namespace
