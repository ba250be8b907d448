#include "IdentWindowFixture.h"

#include "SlotEntryController.h"
#include "TfmKisTabl.h"
#include "model/Workbook.h"

using namespace TableLayout;

namespace {

const QString kNotFound = QStringLiteral("Код не найден в справочнике");
const QString kNotANumber = QStringLiteral("Введено не число или слишком большое число");

// A workbook in the spreadsheet control with the slot entry wired as the editor wires it,
// over a fact database holding a small directory.
class SlotEntryTest : public IdentWindowFixture {
protected:
    static void SetUpTestSuite() {
        TableDbFixture::SetUpTestSuite();
        seedSmallDirectory();
    }

    void SetUp() override {
        IdentWindowFixture::SetUp();
        QObject::connect(&m_control, &TBook::OnEndEdit, [this](const QString& text, bool* cancel) {
            if (!m_entry.endEdit(m_control.sheet(), m_control.activeRow(), m_control.activeCol(),
                                 text))
                *cancel = true;
        });
        QObject::connect(&m_control, &TBook::OnSelChange, [this] { m_entry.selectionChanged(); });
        m_entry.setDirectoryEntryHook([this] { ++m_directoryEntries; });
    }

    // Types `text` into the cell as the user would and finishes the edit.
    void type(int sheet, int row, int col, const QString& text) {
        m_control.setSheet(sheet);
        m_control.setActiveCell(row, col);
        m_control.commitEntry(text);
    }
    // Another instance sheet before the identification sheets.
    void addInstanceSheet() {
        m_book.insertSheet(2);
        m_book.setText(2, kLayoutRow, kLayoutCol, m_book.sheet(1).text(kLayoutRow, kLayoutCol));
    }
    QString entry(int sheet, int row, int col) const { return m_book.sheet(sheet).entry(row, col); }
    int rowSheet() const { return m_model.rowIdentSheet(); }
    int colSheet() const { return m_model.colIdentSheet(); }

    SlotEntryController m_entry{m_ctx};
    int m_directoryEntries = 0;
};

constexpr int kRow = 101; // the first body row of a new table

} // namespace

TEST_F(SlotEntryTest, SideIndicatorCodesFillTheInternalCodeAndTheRowNameOnTheTableSheets) {
    addInstanceSheet();
    m_state.mode = IdentMode::Side;
    type(rowSheet(), kRow, 5, QStringLiteral("В-1"));
    EXPECT_EQ(entry(rowSheet(), kRow, 5), QStringLiteral("В-1"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::IndicatorCode), 26);
    for (int sheet = 1; sheet <= rowSheet(); ++sheet)
        EXPECT_EQ(entry(sheet, kRow, kSideCol), QStringLiteral("Врачей")) << sheet;
    EXPECT_EQ(entry(colSheet(), kRow, kSideCol), IdentModel::colSlotCaption(Slot::HideMarker))
        << "the column identification sheet keeps its own side";

    type(rowSheet(), kRow + 1, 7, QStringLiteral("-25"));
    EXPECT_EQ(entry(rowSheet(), kRow + 1, 7), QStringLiteral("-25"));
    EXPECT_EQ(m_model.rowCode(kRow + 1, Slot::Attr1Code), 25);
    EXPECT_EQ(entry(1, kRow + 1, kSideCol), QStringLiteral("Коек всего"));

    // "0" clears the code; the name the row has stays.
    type(rowSheet(), kRow, 5, QStringLiteral("0"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::IndicatorCode), 0);
    EXPECT_EQ(entry(1, kRow, kSideCol), QStringLiteral("Врачей"));
    EXPECT_TRUE(m_prompter.shown().isEmpty());
    EXPECT_EQ(m_directoryEntries, 0);
}

TEST_F(SlotEntryTest, WithoutNameTransferTheRowNamesStay) {
    m_options.transferNames = false;
    m_state.mode = IdentMode::Side;
    m_book.setText(1, kRow, kSideCol, QStringLiteral("Строка"));
    type(rowSheet(), kRow, 9, QStringLiteral("В-1"));
    type(rowSheet(), kRow, 10, QStringLiteral("77"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::Attr2Code), 26);
    EXPECT_EQ(m_model.rowCode(kRow, Slot::ObjectType), 99);
    EXPECT_EQ(entry(1, kRow, kSideCol), QStringLiteral("Строка"));
    EXPECT_TRUE(entry(rowSheet(), kRow, kSideCol).isEmpty());
}

TEST_F(SlotEntryTest, ARefusedCodeKeepsWhatTheSlotHeld) {
    m_state.mode = IdentMode::Side;
    type(rowSheet(), kRow, 5, QStringLiteral("В-1"));
    type(rowSheet(), kRow, 10, QStringLiteral("77"));

    type(rowSheet(), kRow, 5, QStringLiteral("Нет-такого"));
    type(rowSheet(), kRow, 5, QStringLiteral("-2x"));
    type(rowSheet(), kRow, 5, QStringLiteral("-27"));
    type(rowSheet(), kRow, 10, QStringLiteral("сорок"));
    type(rowSheet(), kRow, 11, QStringLiteral("5"));
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{kNotFound, kNotANumber, kNotFound,
                           QStringLiteral("Код объекта должен быть числовым"), kNotFound}))
        << "each refusal told once";
    EXPECT_EQ(entry(rowSheet(), kRow, 5), QStringLiteral("В-1"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::IndicatorCode), 26);
    EXPECT_EQ(m_model.rowCode(kRow, Slot::Object), 77);
    EXPECT_EQ(m_model.rowCode(kRow, Slot::ObjectType), 99);
    EXPECT_TRUE(entry(rowSheet(), kRow, 11).isEmpty());
    EXPECT_EQ(entry(1, kRow, kSideCol), QStringLiteral("Больница 77"));
    EXPECT_EQ(m_directoryEntries, 1) << "only the accepted object";
}

TEST_F(SlotEntryTest, AnObjectCodeInSeveralDirectoriesTakesTheChosenType) {
    m_state.mode = IdentMode::Side;
    m_prompter.choice(2); // "Ведомства", "Районы", then the objects directory
    type(rowSheet(), kRow, 10, QStringLiteral("40"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::ObjectType), 99);
    EXPECT_EQ(entry(1, kRow, kSideCol), QStringLiteral("Больница 40"));

    m_prompter.choice(0);
    type(rowSheet(), kRow, 12, QStringLiteral("40"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::Cut2Type), 2);
    EXPECT_EQ(entry(1, kRow, kSideCol), QStringLiteral("Минздрав"));

    type(rowSheet(), kRow, 11, QStringLiteral("41"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::Cut1Type), 1);
    type(rowSheet(), kRow, 11, QStringLiteral("0"));
    EXPECT_EQ(m_model.rowCode(kRow, Slot::Cut1Type), 0);
    EXPECT_EQ(entry(1, kRow, kSideCol), QStringLiteral("Северный"));
    EXPECT_EQ(m_prompter.shown().size(), 2) << "only the ambiguous code asks";
    EXPECT_EQ(m_directoryEntries, 4);
}

TEST_F(SlotEntryTest, HeaderSlotsWriteTheCodeAboveAndTheTypeBelowWithoutNames) {
    m_state.mode = IdentMode::Header;
    const int last = m_model.lastHeaderRow();
    const int col = 4;
    type(colSheet(), last + 3, col, QStringLiteral("-25"));
    type(colSheet(), last + 7, col, QStringLiteral("В-1"));
    type(colSheet(), last + 9, col, QStringLiteral("41"));
    EXPECT_EQ(m_model.colCode(col, Slot::IndicatorCode), 25);
    EXPECT_EQ(m_model.colCode(col, Slot::Attr2Code), 26);
    EXPECT_EQ(m_model.colCode(col, Slot::Cut1Type), 1);
    EXPECT_EQ(m_model.colCode(col, Slot::Cut1), 41);

    type(colSheet(), last + 8, col, QStringLiteral("сорок"));
    type(colSheet(), last + 3, col, QStringLiteral("Нет-такого"));
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{QStringLiteral("Код объекта должен быть числовым"), kNotFound}));
    EXPECT_EQ(entry(colSheet(), last + 3, col), QStringLiteral("-25"));
    EXPECT_TRUE(entry(colSheet(), last + 8, col).isEmpty());
    for (int sheet = 1; sheet <= colSheet(); ++sheet)
        for (int row = last + 1; row <= last + 20; ++row)
            EXPECT_TRUE(entry(sheet, row, kSideCol).isEmpty() || sheet == colSheet())
                << "no name transferred";
}

TEST_F(SlotEntryTest, TheModeDecidesWhetherASlotIsResolved) {
    // Outside side identification the same cell is plain text.
    type(rowSheet(), kRow, 5, QStringLiteral("Нет-такого"));
    EXPECT_EQ(entry(rowSheet(), kRow, 5), QStringLiteral("Нет-такого"));
    m_state.mode = IdentMode::Header;
    type(rowSheet(), kRow, 7, QStringLiteral("Нет-такого"));
    EXPECT_EQ(entry(rowSheet(), kRow, 7), QStringLiteral("Нет-такого"));
    EXPECT_TRUE(m_prompter.shown().isEmpty());

    // Marking hidden rows shows the same slots and takes codes as side identification.
    m_state.mode = IdentMode::HiddenRows;
    type(rowSheet(), kRow + 1, 5, QStringLiteral("В-1"));
    EXPECT_EQ(m_model.rowCode(kRow + 1, Slot::IndicatorCode), 26);
    type(rowSheet(), kRow + 1, 5, QStringLiteral("Нет-такого"));
    EXPECT_EQ(entry(rowSheet(), kRow + 1, 5), QStringLiteral("В-1"));
    EXPECT_EQ(m_prompter.texts(), QStringList{kNotFound});
}

TEST_F(SlotEntryTest, TitleIndicatorByItsInternalCode) {
    addInstanceSheet();
    m_state.mode = IdentMode::Title;
    m_book.setText(1, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Показатель"));
    const int ind = int(TitleRow::Indicator);

    type(1, ind, 3, QStringLiteral("26"));
    EXPECT_EQ(entry(1, ind, 4), QStringLiteral("В-1"));
    EXPECT_EQ(entry(1, kLastTitleRow, 3), QStringLiteral("Врачей"));
    type(1, ind + 1, 3, QStringLiteral("25"));
    EXPECT_EQ(entry(1, ind + 1, 4), QStringLiteral("-25"));
    EXPECT_EQ(entry(1, kLastTitleRow, 3), QStringLiteral("Коек всего"));

    type(1, ind + 2, 3, QStringLiteral("27"));
    type(1, ind, 3, QStringLiteral("abc"));
    type(1, ind, 3, QStringLiteral("2.5"));
    EXPECT_EQ(m_prompter.texts(), (QStringList{kNotFound, kNotANumber, kNotANumber}));
    EXPECT_TRUE(entry(1, ind + 2, 3).isEmpty());
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Indicator), 26);

    type(1, ind, 3, QString());
    EXPECT_EQ(entry(1, ind, 4), QStringLiteral("В-1")) << "a blank entry is ignored";
    type(1, ind, 3, QStringLiteral("0"));
    EXPECT_EQ(entry(1, ind, 4), QStringLiteral("0"));
    for (int row : {ind, ind + 1, kLastTitleRow})
        EXPECT_TRUE(entry(2, row, 4).isEmpty() && entry(2, row, 3).isEmpty())
            << "the other instance sheet has its own title";
}

TEST_F(SlotEntryTest, TitleIndicatorByItsDisplayedCodeGoesToTheActiveSheetOnly) {
    addInstanceSheet();
    m_state.mode = IdentMode::Title;
    for (int sheet : {1, 2})
        m_book.setText(sheet, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Признак"));
    m_book.setInEditGroup(1, true);
    m_book.setInEditGroup(2, true);
    type(2, int(TitleRow::Attr1), 4, QStringLiteral("В-1"));
    EXPECT_EQ(m_model.titleCode(2, TitleRow::Attr1), 26);
    EXPECT_EQ(entry(2, kLastTitleRow, 3), QStringLiteral("Врачей"));
    EXPECT_TRUE(entry(1, int(TitleRow::Attr1), 4).isEmpty()) << "typed text too";
    EXPECT_TRUE(entry(1, int(TitleRow::Attr1), 3).isEmpty());

    // Object rows mean nothing under an indicator kind.
    type(2, int(TitleRow::Object), 3, QStringLiteral("сорок"));
    EXPECT_TRUE(m_prompter.shown().isEmpty());
}

TEST_F(SlotEntryTest, TitleObjectAndItsType) {
    m_state.mode = IdentMode::Title;
    m_book.setText(1, int(TitleRow::Kind), kTitleValueCol, QStringLiteral("Объект"));
    const int obj = int(TitleRow::Object);
    type(1, obj, 3, QStringLiteral("77"));
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Object, 4), 99);
    EXPECT_EQ(entry(1, kLastTitleRow, 3), QStringLiteral("Больница 77"));
    type(1, obj + 1, 3, QStringLiteral("41"));
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Cut1, 4), 1);
    EXPECT_EQ(m_directoryEntries, 2);

    // A type typed by hand must name the directory holding the code.
    type(1, obj, 4, QStringLiteral("1"));
    type(1, obj, 4, QStringLiteral("тип"));
    EXPECT_EQ(m_prompter.texts(), (QStringList{kNotFound, kNotANumber}));
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Object), 77);
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Object, 4), 99);
    type(1, obj, 4, QStringLiteral("99"));
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Object), 77);
    // "0" clears the code together with its type.
    type(1, obj + 1, 4, QStringLiteral("0"));
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Cut1), 0);
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Cut1, 4), 0);
    EXPECT_EQ(m_prompter.shown().size(), 2);

    type(1, obj, 3, QStringLiteral("Центр"));
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Код объекта должен быть числовым"));
    EXPECT_EQ(m_model.titleCode(1, TitleRow::Object), 77);
}

TEST_F(SlotEntryTest, ADateBoundShowsMonthAndYearOnceTheCursorMoves) {
    m_state.mode = IdentMode::Side;
    type(rowSheet(), kRow, 16, QStringLiteral("1.3.2003"));
    m_control.setActiveCell(kRow + 2, 15);
    EXPECT_EQ(m_book.sheet(rowSheet()).format(kRow, 16).numberFormat, QStringLiteral("mmm/yy"));
    EXPECT_EQ(m_control.activeRow(), kRow + 2) << "the cursor stays where the user put it";
    EXPECT_EQ(m_control.activeCol(), 15);

    type(rowSheet(), kRow, 17, QStringLiteral("2003"));
    m_control.setActiveCell(kRow + 2, 15);
    EXPECT_EQ(m_book.sheet(rowSheet()).format(kRow, 17).numberFormat, QStringLiteral("General"))
        << "a year stays a year";

    // A date outside the bounds keeps the format it was given.
    type(rowSheet(), kRow, 15, QStringLiteral("1.3.2003"));
    m_control.setActiveCell(kRow + 2, 15);
    EXPECT_NE(m_book.sheet(rowSheet()).format(kRow, 15).numberFormat, QStringLiteral("mmm/yy"));

    m_state.mode = IdentMode::Header;
    const int end = m_model.colSlotRow(Slot::PeriodEnd);
    m_book.setNumberFormat(colSheet(), CellRange::cell(end, 5), QStringLiteral("m/d/yy"));
    type(colSheet(), end, 5, QStringLiteral("1/3/2003"));
    m_control.setActiveCell(end, 6);
    EXPECT_EQ(m_book.sheet(colSheet()).format(end, 5).numberFormat, QStringLiteral("mmm/yy"));

    m_state.mode = IdentMode::Title;
    type(1, int(TitleRow::PeriodStart), 3, QStringLiteral("1/3/2003"));
    m_control.setActiveCell(int(TitleRow::PeriodEnd), 3);
    EXPECT_EQ(m_book.sheet(1).format(int(TitleRow::PeriodStart), 3).numberFormat,
              QStringLiteral("mmm/yy"));
    EXPECT_FALSE(m_state.editedPeriodBound.has_value());
}

TEST_F(SlotEntryTest, AYearTypedOverADateBoundIsAYear) {
    auto typeOverDate = [&](int sheet, int row, int col, const QString& year) {
        type(sheet, row, col, QStringLiteral("1.3.2003"));
        m_control.setActiveCell(row + 1, col);
        ASSERT_EQ(m_book.sheet(sheet).format(row, col).numberFormat, QStringLiteral("mmm/yy"));
        type(sheet, row, col, year);
        m_control.setActiveCell(row + 1, col);
        EXPECT_EQ(m_book.sheet(sheet).format(row, col).numberFormat, QStringLiteral("General"));
    };
    m_state.mode = IdentMode::Side;
    typeOverDate(rowSheet(), kRow, rowSlotColumn(Slot::PeriodStart), QStringLiteral("2004"));
    EXPECT_EQ(m_model.rowPeriod(kRow, Slot::PeriodStart),
              (PeriodBound{QStringLiteral("2004"), true}));

    m_state.mode = IdentMode::Header;
    const int end = m_model.colSlotRow(Slot::PeriodEnd);
    typeOverDate(colSheet(), end, 5, QStringLiteral(" 2005"));
    EXPECT_EQ(m_model.colPeriod(5, Slot::PeriodEnd), (PeriodBound{QStringLiteral("2005"), true}));

    m_state.mode = IdentMode::Title;
    typeOverDate(1, int(TitleRow::PeriodStart), 3, QStringLiteral("2003"));
    EXPECT_EQ(m_model.titlePeriod(1, TitleRow::PeriodStart),
              (PeriodBound{QStringLiteral("2003"), true}));
}

TEST_F(SlotEntryTest, TheEditorWindowCancelsARefusedEntry) {
    const int table = newTable();
    TfmKisTabl window(dm(), m_prompter);
    window.openTable(TableRef::read(dm(), table).value_or(TableRef{}));
    window.identState().mode = IdentMode::Side;
    window.Book->setSheet(2);
    window.Book->setActiveCell(kRow, 5);
    window.Book->commitEntry(QStringLiteral("-25"));
    window.Book->commitEntry(QStringLiteral("-27"));
    const Workbook& book = window.Book->workbook();
    EXPECT_EQ(book.sheet(2).entry(kRow, 5), QStringLiteral("-25"));
    EXPECT_EQ(book.sheet(2).number(kRow, 4), 25);
    EXPECT_EQ(book.sheet(1).text(kRow, kSideCol), QStringLiteral("Коек всего"));
    EXPECT_EQ(m_prompter.texts(), QStringList{kNotFound});

    // A locked cell takes no entry and nothing is written beside it.
    window.Book->setEnableProtection(true);
    window.Book->setActiveCell(kRow + 1, 5);
    window.Book->commitEntry(QStringLiteral("В-1"));
    EXPECT_TRUE(book.sheet(2).entry(kRow + 1, 4).isEmpty());
    EXPECT_TRUE(book.sheet(1).entry(kRow + 1, kSideCol).isEmpty());
}
