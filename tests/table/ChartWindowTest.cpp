#include "TableWindowFixture.h"

#include "TableChart.h"
#include "TableLayout.h"
#include "model/ChartData.h"

#include <QTest>

using namespace TableLayout;

namespace {

class ChartWindowTest : public TableWindowFixture {
protected:
    // Two rows named by the side, two columns named by the last header row: a number,
    // a text and a blank among them.
    int fillBody() {
        const int r = lastHeader() + 1;
        book().setText(1, lastHeader(), kFirstDataCol, QStringLiteral("2023 год"));
        book().setText(1, lastHeader(), kFirstDataCol + 1, QStringLiteral("2024 год"));
        book().setText(1, r, kSideCol, QStringLiteral("Больницы"));
        book().setText(1, r + 1, kSideCol, QStringLiteral("Поликлиники"));
        book().setNumber(1, r, kFirstDataCol, 12);
        book().setText(1, r, kFirstDataCol + 1, QStringLiteral("н/д"));
        book().setNumber(1, r + 1, kFirstDataCol, 7.5);
        book().undoStack().clear();
        return r;
    }
    QPoint centre(int row, int col) { return w->Book->cellRect(row, col).center(); }
};

} // namespace

TEST_F(ChartWindowTest, ChartOfTheSelectedBodyIsDrawnWhereTheUserDragsAndUndone) {
    open(1);
    w->show();
    const int r = fillBody();
    // The side and the header are in the selection; only the body is charted.
    w->Book->setSelection(lastHeader(), kSideCol, r + 1, kFirstDataCol + 1);
    trigger("Mchart");
    ASSERT_EQ(w->Book->mode(), TBook::ChartMode);
    QWidget* port = w->Book->viewport();
    QTest::mousePress(port, Qt::LeftButton, {}, centre(r + 3, kFirstDataCol));
    QTest::mouseMove(port, centre(r + 9, kFirstDataCol + 3));
    QTest::mouseRelease(port, Qt::LeftButton, {}, centre(r + 9, kFirstDataCol + 3));
    EXPECT_EQ(w->Book->mode(), 0);
    ASSERT_EQ(sheet(1).charts().size(), 1u);
    const ChartObject chart = sheet(1).charts().front();
    EXPECT_EQ(chart.frame, CellRange(r + 3, kFirstDataCol, r + 9, kFirstDataCol + 3));
    EXPECT_EQ(chart.data, CellRange(r, kFirstDataCol, r + 1, kFirstDataCol + 1));
    const ChartData d = ChartData::of(sheet(1), chart);
    EXPECT_EQ(d.categories, QStringList({"Больницы", "Поликлиники"}));
    ASSERT_EQ(d.series.size(), 2u);
    EXPECT_EQ(d.series[0].name, QStringLiteral("2023 год"));
    EXPECT_EQ(d.series[0].values, (std::vector<std::optional<double>>{12.0, 7.5}));
    EXPECT_EQ(d.series[1].values, (std::vector<std::optional<double>>{std::nullopt, std::nullopt}));
    EXPECT_EQ(w->Book->selectedChart(), chart.id);

    trigger("Mundo");
    EXPECT_TRUE(sheet(1).charts().empty());
    trigger("Mredo");
    ASSERT_EQ(sheet(1).charts().size(), 1u);
    // A click on the chart chooses it; Delete takes it away as a step of its own.
    QTest::mouseClick(port, Qt::LeftButton, {}, centre(r + 5, kFirstDataCol + 1));
    EXPECT_EQ(w->Book->selectedChart(), chart.id);
    QTest::keyClick(w->Book, Qt::Key_Delete);
    EXPECT_TRUE(sheet(1).charts().empty());
    EXPECT_EQ(sheet(1).number(r, kFirstDataCol), 12); // the cells under it stay
    trigger("Mundo");
    EXPECT_EQ(sheet(1).charts().size(), 1u);

    // Another sheet with a chart of the same number: what was chosen or being drawn on the
    // sheet left is not acted on there.
    ASSERT_EQ(book().sheet(2).addChart(chart), chart.id);
    QTest::mouseClick(port, Qt::LeftButton, {}, centre(r + 5, kFirstDataCol + 1));
    ASSERT_EQ(w->Book->selectedChart(), chart.id);
    w->Book->setSheet(2);
    QTest::keyClick(w->Book, Qt::Key_Delete);
    EXPECT_EQ(book().sheet(2).charts().size(), 1u);
    w->Book->setSheet(1);
    w->Book->setSelection(r, kFirstDataCol, r + 1, kFirstDataCol);
    trigger("Mchart");
    w->Book->setSheet(2);
    EXPECT_EQ(w->Book->mode(), 0);
}

TEST_F(ChartWindowTest, NoChartWithoutNumbersAndNoneInIdentificationModes) {
    open(1);
    w->show();
    const int r = fillBody();
    // Texts only, and the header alone: refused with one message, the mode untouched.
    for (const CellRange& sel :
         {CellRange(r, kFirstDataCol + 1, r, kFirstDataCol + 1),
          CellRange(kFirstHeaderRow, kSideCol, lastHeader(), kFirstDataCol)}) {
        m_prompter.clear();
        w->Book->setSelection(sel.row1, sel.col1, sel.row2, sel.col2);
        trigger("Mchart");
        EXPECT_EQ(m_prompter.lastText(), TableChart::noDataMessage());
        EXPECT_EQ(w->Book->mode(), 0);
    }
    // Escape leaves the chart mode without a chart.
    w->Book->setSelection(r, kFirstDataCol, r + 1, kFirstDataCol);
    trigger("Mchart");
    QTest::keyClick(w->Book, Qt::Key_Escape);
    EXPECT_EQ(w->Book->mode(), 0);
    QTest::mouseClick(w->Book->viewport(), Qt::LeftButton, {}, centre(r + 4, kFirstDataCol));
    EXPECT_TRUE(sheet(1).charts().empty());

    trigger("SBidbok");
    for (const char* name : {"Mchart", "sbChart", "imChart"})
        EXPECT_FALSE(enabled(name)) << name;
    trigger("SBidbok");
    EXPECT_TRUE(enabled("Mchart"));
    EXPECT_TRUE(enabled("sbChart"));
}
