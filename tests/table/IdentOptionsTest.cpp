#include "IdentWindowFixture.h"

#include "IdentOptionsController.h"
#include "TfmKisTabl.h"
#include "TfmOptions.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

using namespace TableLayout;

namespace {

class IdentOptionsTest : public IdentWindowFixture {
protected:
    bool colShown(int col) const { return !m_book.sheet(m_model.rowIdentSheet()).colHidden(col); }
    bool slotRowShown(Slot s) const {
        return !m_book.sheet(m_model.colIdentSheet()).rowHidden(m_model.colSlotRow(s));
    }
    // The column identification sheet as header identification shows it.
    void hideColSheetInternals() {
        Sheet& s = m_book.sheet(m_model.colIdentSheet());
        for (Slot slot :
             {Slot::HideMarker, Slot::IndicatorCode, Slot::Attr1Code, Slot::Attr2Code,
              Slot::ObjectType, Slot::Cut1Type, Slot::Cut2Type, Slot::Cut3Type, Slot::Cut4Type})
            s.setRowHidden(m_model.colSlotRow(slot), true);
    }
    IdentOptionsController m_ctl{m_ctx};
};

} // namespace

TEST_F(IdentOptionsTest, OnTheRowSheetTheBoxesFollowTheColumnsAndActAtOnce) {
    withInstances(2);
    showSheet(m_model.rowIdentSheet());
    m_book.sheet(m_model.rowIdentSheet()).setColHidden(rowSlotColumn(Slot::Object), true);
    EXPECT_EQ(m_ctl.activate(), (VisibleParams{true, false, true}));

    m_ctl.setIndicatorsShown(false);
    for (int col = 4; col <= 9; ++col)
        EXPECT_FALSE(colShown(col)) << col;
    m_ctl.setIndicatorsShown(true);
    for (int col : {5, 7, 9})
        EXPECT_TRUE(colShown(col)) << col;
    for (int col : {4, 6, 8})
        EXPECT_FALSE(colShown(col)) << "internal codes stay hidden: " << col;

    m_ctl.setObjectsShown(true);
    for (int col = 10; col <= 14; ++col)
        EXPECT_TRUE(colShown(col)) << col;
    m_ctl.setPeriodsShown(false);
    EXPECT_FALSE(colShown(16));
    EXPECT_FALSE(colShown(17));
    EXPECT_TRUE(colShown(15)) << "the level is no period";
    EXPECT_TRUE(colShown(2));
    for (int s = 1; s <= m_model.instanceCount(); ++s)
        EXPECT_FALSE(m_book.sheet(s).colHidden(16)) << "instance sheets keep their columns";

    IdentOptions chosen;
    chosen.transferNames = false;
    chosen.identMode = 2;
    m_ctl.apply(chosen);
    EXPECT_FALSE(m_options.transferNames);
    EXPECT_EQ(m_options.identMode, 2);
    EXPECT_FALSE(m_options.showPeriods);
    EXPECT_TRUE(m_options.showObjects);
    EXPECT_EQ(m_control.activeRow(), m_model.firstBodyRow());
    EXPECT_EQ(m_control.activeCol(), 10);
}

TEST_F(IdentOptionsTest, AfterApplyingTheCursorAvoidsAHiddenObjectColumn) {
    showSheet(m_model.rowIdentSheet());
    m_book.sheet(m_model.rowIdentSheet()).setRowHidden(m_model.firstBodyRow(), true);
    m_book.setText(m_model.rowIdentSheet(), m_model.firstBodyRow() + 3, 2, QStringLiteral("Итого"));
    m_ctl.activate();
    m_ctl.setObjectsShown(false);
    m_ctl.apply(m_options);
    EXPECT_EQ(m_control.activeRow(), m_model.firstBodyRow() + 1) << "the first shown body row";
    EXPECT_EQ(m_control.activeCol(), 5) << "the first shown slot";
}

TEST_F(IdentOptionsTest, OnTheColumnSheetTheBoxesFollowTheSlotRows) {
    m_model.setHeaderRows(2);
    showSheet(m_model.colIdentSheet());
    hideColSheetInternals();
    m_book.sheet(m_model.colIdentSheet()).setRowHidden(m_model.colSlotRow(Slot::PeriodStart), true);
    EXPECT_EQ(m_ctl.activate(), (VisibleParams{true, true, false}));

    m_ctl.setIndicatorsShown(false);
    for (int s = int(Slot::IndicatorCode); s <= int(Slot::Attr2Shown); ++s)
        EXPECT_FALSE(slotRowShown(Slot(s))) << s;
    m_ctl.setObjectsShown(false);
    for (int s = int(Slot::Object); s <= int(Slot::Cut4); ++s)
        EXPECT_FALSE(slotRowShown(Slot(s))) << s;
    m_ctl.setPeriodsShown(true);
    EXPECT_TRUE(slotRowShown(Slot::PeriodStart));
    EXPECT_TRUE(slotRowShown(Slot::PeriodEnd));
    EXPECT_TRUE(slotRowShown(Slot::Level));

    m_ctl.apply(m_options);
    EXPECT_EQ(m_control.activeRow(), m_model.colSlotRow(Slot::Level)) << "the first shown slot row";
    EXPECT_EQ(m_control.activeCol(), kFirstDataCol);

    m_ctl.activate();
    m_ctl.setIndicatorsShown(true);
    EXPECT_TRUE(slotRowShown(Slot::IndicatorShown));
    EXPECT_FALSE(slotRowShown(Slot::IndicatorCode));
    m_ctl.apply(m_options);
    EXPECT_EQ(m_control.activeRow(), m_model.colSlotRow(Slot::IndicatorShown));
}

TEST_F(IdentOptionsTest, OnAnInstanceSheetAllBoxesAreTickedAndNothingIsHidden) {
    showSheet(m_model.rowIdentSheet());
    m_ctl.activate();
    m_ctl.setIndicatorsShown(false);
    showSheet(1);
    m_control.setActiveCell(105, 4);
    EXPECT_EQ(m_ctl.activate(), (VisibleParams{true, true, true}));
    m_ctl.setObjectsShown(false);
    m_ctl.setPeriodsShown(false);
    for (int col = kSideCol; col <= rowSlotColumn(Slot::Unit); ++col)
        EXPECT_FALSE(m_book.sheet(1).colHidden(col)) << col;
    EXPECT_TRUE(colShown(10)) << "the row sheet is not the current sheet";
    m_ctl.apply(m_options);
    EXPECT_EQ(m_control.activeRow(), 105);
    EXPECT_EQ(m_control.activeCol(), 4);
}

TEST_F(IdentOptionsTest, InternalCodesShowEverySlot) {
    showSheet(m_model.rowIdentSheet());
    m_book.setNumber(m_model.rowIdentSheet(), 101, rowSlotColumn(Slot::Unit), 1);
    Sheet& rows = m_book.sheet(m_model.rowIdentSheet());
    rows.setColHidden(rowSlotColumn(Slot::Unit), true);
    m_ctl.showInternalCodes();
    for (int col = kFirstDataCol; col <= rowSlotColumn(Slot::Unit); ++col)
        EXPECT_FALSE(rows.colHidden(col)) << col;
    EXPECT_TRUE(rows.colHidden(kSettingsCol)) << "the settings column is no slot";

    showSheet(m_model.colIdentSheet());
    hideColSheetInternals();
    Sheet& cols = m_book.sheet(m_model.colIdentSheet());
    cols.setRowHidden(100, true);
    cols.setRowHidden(m_model.colSlotRow(Slot::Unit), true);
    m_ctl.showInternalCodes();
    for (int s = 1; s <= kSlotCount; ++s)
        EXPECT_TRUE(slotRowShown(Slot(s))) << s;
    EXPECT_TRUE(cols.rowHidden(100)) << "header rows are no slots";
}

TEST_F(IdentOptionsTest, CancellingPutsTheSlotsBackAndKeepsTheOptions) {
    showSheet(m_model.rowIdentSheet());
    TfmOptions& dialog = TfmOptions::fmOptions();
    EXPECT_EQ(&dialog, &TfmOptions::fmOptions()) << "one window for the program";
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Опции идентификации"));
    dialog.prepare(m_ctx);
    EXPECT_TRUE(dialog.ChPok->isChecked());
    EXPECT_EQ(dialog.CBox->currentText(), QStringLiteral("Да"));
    EXPECT_EQ(dialog.rgOption->checkedButton()->text(), QStringLiteral("Поставить"));
    dialog.ChPok->click();
    EXPECT_FALSE(colShown(5)) << "the box acts at once";
    dialog.CBox->setCurrentIndex(1);
    EXPECT_EQ(dialog.bCancel->text(), QStringLiteral("Отменить"));
    dialog.bCancel->click();
    EXPECT_TRUE(colShown(5));
    EXPECT_FALSE(colShown(4));
    EXPECT_TRUE(m_options.transferNames);
    EXPECT_TRUE(m_options.showIndicators);
}

TEST_F(IdentOptionsTest, ApplyingTheDialogWritesTheOptions) {
    showSheet(m_model.colIdentSheet());
    TfmOptions& dialog = TfmOptions::fmOptions();
    dialog.prepare(m_ctx);
    dialog.CBox->setCurrentIndex(1);
    dialog.rgOption->button(1)->click();
    dialog.ChBox->click();
    dialog.ChPer->click();
    EXPECT_EQ(dialog.bOK->text(), QStringLiteral("Применить"));
    dialog.bOK->click();
    EXPECT_FALSE(m_options.transferNames);
    EXPECT_EQ(m_options.identMode, 1);
    EXPECT_FALSE(m_options.showEachTime);
    EXPECT_FALSE(m_options.showPeriods);
    EXPECT_FALSE(slotRowShown(Slot::PeriodEnd));

    // Shown again, it starts from what was applied.
    dialog.prepare(m_ctx);
    EXPECT_EQ(dialog.CBox->currentIndex(), 1);
    EXPECT_EQ(dialog.rgOption->checkedId(), 1);
    EXPECT_FALSE(dialog.ChBox->isChecked());
    EXPECT_FALSE(dialog.ChPer->isChecked());
    dialog.reject();
}

TEST_F(IdentOptionsTest, TheTableEditorShowsTheOptionsAndTheInternalCodes) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(TableRef::read(dm(), table).value_or(TableRef{}));
    QAction* options = window.action(QStringLiteral("Moption"));
    ASSERT_TRUE(options->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = TfmOptions::fmOptions().isVisible();
        TfmOptions::fmOptions().CBox->setCurrentIndex(1);
        TfmOptions::fmOptions().bOK->click();
    });
    options->trigger();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(CurrentIdentOptions().transferNames);
    CurrentIdentOptions() = IdentOptions{};

    QAction* codes = window.action(QStringLiteral("imKodInternal"));
    EXPECT_EQ(codes->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F7));
    Workbook& book = window.Book->workbook();
    window.Book->setSheet(book.sheetCount() - 1);
    codes->setEnabled(true);
    codes->trigger();
    EXPECT_FALSE(book.activeSheet().colHidden(rowSlotColumn(Slot::IndicatorCode)));
}
