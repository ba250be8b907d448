#include "BookViewTestUtil.h"
#include "PageLayout.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(TBookObjects, DropDownShowsAsComboAndReportsTheUsersChoice) {
    BookFixture f;
    Sheet& s = f.book.workbook().activeSheet();
    const int id = s.addDropDown(QStringLiteral("tip"), CellRange(4, 3, 4, 4),
                                 QStringLiteral("Показатель;Признак;Объект;Разрез;Период"));
    QApplication::processEvents();
    QComboBox* box = nullptr;
    for (QComboBox* b : f.book.viewport()->findChildren<QComboBox*>())
        if (b->objectName() == QStringLiteral("tip"))
            box = b;
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 5);
    EXPECT_EQ(box->geometry().topLeft(), f.book.cellRect(4, 3).topLeft());
    EXPECT_TRUE(box->isVisibleTo(&f.book));

    QString name;
    int reported = 0;
    QObject::connect(&f.book, &TBook::OnObjValueChanged, [&](const QString& n, int objectId) {
        name = n;
        reported = objectId;
    });
    box->setCurrentIndex(2);
    emit box->activated(2);
    EXPECT_EQ(name, QStringLiteral("tip"));
    EXPECT_EQ(reported, id);
    EXPECT_EQ(s.object(id)->selected, 3);

    // The program's own change shows without an event.
    reported = 0;
    s.setObjectSelected(id, 5);
    EXPECT_EQ(box->currentText(), QStringLiteral("Период"));
    EXPECT_EQ(reported, 0);
    // Scrolled away, the box hides; deleted, it goes.
    f.book.verticalScrollBar()->setValue(30);
    EXPECT_FALSE(box->isVisibleTo(&f.book));
    s.deleteObject(id);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int left = 0;
    for (QComboBox* b : f.book.viewport()->findChildren<QComboBox*>())
        left += b->objectName() == QStringLiteral("tip") ? 1 : 0;
    EXPECT_EQ(left, 0);
}

TEST(TBookPrint, PagesFollowBreaksAndScaleAndDrawTheCells) {
    Workbook wb;
    Sheet& s = wb.sheet(1);
    for (int r = 1; r <= 120; ++r)
        wb.setNumber(r, 1, r);
    wb.setNumber(5, 14, 1); // 14 columns: wider than a portrait page
    PageLayout plain(s);
    ASSERT_GE(plain.pageCount(), 4);
    EXPECT_EQ(plain.pages().first().cells.row1, 1);
    EXPECT_EQ(plain.pages().first().cells.col1, 1);
    // Down first, then across.
    EXPECT_EQ(plain.pages()[1].cells.row1, plain.pages()[0].cells.row2 + 1);
    EXPECT_EQ(plain.pages()[1].cells.col1, 1);

    s.setRowBreak(30, true);
    PageLayout broken(s);
    EXPECT_EQ(broken.pages().first().cells.row2, 29);
    EXPECT_EQ(broken.pages()[1].cells.row1, 30);

    PrintSettings ps = s.printSettings();
    ps.scale = 25;
    ps.printArea = CellRange(1, 1, 100, 8);
    s.setPrintSettings(ps);
    s.clearPageBreaks();
    PageLayout small(s);
    EXPECT_EQ(small.pageCount(), 1);
    EXPECT_EQ(small.pages().first().cells, CellRange(1, 1, 100, 8));

    ps.scale = 100;
    ps.gridLines = true;
    ps.printArea = CellRange(1, 1, 3, 2);
    s.setPrintSettings(ps);
    wb.setFormat(1, CellRange::cell(1, 1), [](CellFormat& c) {
        c.pattern = 1;
        c.patternFg = 0x00CC00;
    });
    PageLayout one(s);
    ASSERT_EQ(one.pageCount(), 1);
    QImage page(827, 1169, QImage::Format_RGB32); // 100 dpi A4
    QPainter p(&page);
    one.drawPage(p, 0, QRectF(page.rect()));
    p.end();
    // Cell A1 sits at the margins (0.75", 1") and is filled.
    EXPECT_EQ(page.pixel(75 + 10, 100 + 5) & 0xFFFFFF, 0x00CC00u);
    EXPECT_EQ(page.pixel(20, 20) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(TBookPrint, PrintPropertiesBelongToTheActiveSheetAndNoColorDropsFills) {
    BookFixture f;
    f.book.setNumSheets(2);
    f.book.setProperty("PrintLandscape", true);
    f.book.setProperty("PrintScale", 5);
    f.book.setProperty("PrintLeftMargin", 0.5);
    f.book.setProperty("PrintHeader", QStringLiteral("Лист &P из &N"));
    const PrintSettings& ps = f.book.workbook().sheet(1).printSettings();
    EXPECT_TRUE(ps.landscape);
    EXPECT_EQ(ps.scale, 10);
    EXPECT_DOUBLE_EQ(ps.leftMargin, 0.5);
    EXPECT_EQ(f.book.property("PrintHeader").toString(), QStringLiteral("Лист &P из &N"));
    f.book.setSheet(2);
    EXPECT_FALSE(f.book.property("PrintLandscape").toBool());
    f.book.setSheet(1);

    Workbook& wb = f.book.workbook();
    wb.setNumber(1, 1, 1);
    wb.setFormat(1, CellRange::cell(1, 1), [](CellFormat& c) {
        c.pattern = 1;
        c.patternFg = 0x00CC00;
    });
    f.book.setProperty("PrintScale", 100);
    f.book.setProperty("PrintLandscape", false);
    f.book.setProperty("PrintLeftMargin", 0.75);
    auto pixelOfA1 = [&] {
        PageLayout layout(wb.sheet(1));
        QImage page(827, 1169, QImage::Format_RGB32);
        QPainter p(&page);
        layout.drawPage(p, 0, QRectF(page.rect()));
        return page.pixel(75 + 10, 100 + 5) & 0xFFFFFF;
    };
    EXPECT_EQ(pixelOfA1(), 0x00CC00u);
    f.book.setProperty("PrintNoColor", true);
    EXPECT_EQ(pixelOfA1(), 0xFFFFFFu);
}

TEST(TBookPrint, PrintsEveryPageToAPdf) {
    Workbook wb;
    for (int r = 1; r <= 150; ++r)
        wb.setEntry(r, 1, QStringLiteral("строка %1").arg(r));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    int printed = 0;
    {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        printed = PageLayout::print(wb.sheet(1), pdf);
    }
    const int expected = PageLayout(wb.sheet(1), QSizeF(8.27, 11.69)).pageCount();
    EXPECT_GE(expected, 2);
    EXPECT_EQ(printed, expected);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") +
                  bytes.count("/Type /Page "),
              expected);
}

TEST(TBookObjects, WithPaintingOffTabsAndBoxesCatchUpWhenItIsOn) {
    BookFixture f;
    f.book.setRepaint(false);
    f.book.setNumSheets(3);
    Sheet& s = f.book.workbook().activeSheet();
    s.addDropDown(QStringLiteral("kind"), CellRange(2, 2, 2, 3), QStringLiteral("a;b"));
    s.setRowHidden(1, true);
    EXPECT_EQ(f.book.cellRect(2, 1).top(), f.book.layout().origin().y()); // geometry is current
    f.book.setRepaint(true);
    auto* tabs = f.book.findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 3);
    QComboBox* box = f.book.viewport()->findChild<QComboBox*>(QStringLiteral("kind"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->geometry().topLeft(), f.book.cellRect(2, 2).topLeft());
}
