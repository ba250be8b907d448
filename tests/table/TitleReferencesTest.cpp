#include "TitleReferences.h"
#include "IdentModel.h"
#include "InitialWorkbook.h"
#include "ScriptedPrompter.h"
#include "model/Workbook.h"

#include <gtest/gtest.h>

using namespace TableLayout;
using Kind = TitleReferences::Kind;

TEST(TitleReferenceCodes, AreRecognisedExactly) {
    EXPECT_EQ(TitleReferences::parse(QStringLiteral("#z")).kind, Kind::WholeTitle);
    EXPECT_EQ(TitleReferences::parse(QStringLiteral("#z9")).line, 99);
    EXPECT_EQ(TitleReferences::parse(QStringLiteral(" #z1 ")).line, 91);
    EXPECT_EQ(TitleReferences::parse(QStringLiteral("#kp")).row, TitleRow::Indicator);
    EXPECT_EQ(TitleReferences::parse(QStringLiteral("#ko")).row, TitleRow::Object);
    EXPECT_EQ(TitleReferences::parse(QStringLiteral("#kr4")).row, TitleRow::Cut4);
    EXPECT_EQ(TitleReferences::parse(QStringLiteral("#t2")).row, TitleRow::PeriodEnd);
    for (const char* text : {"#z0", "#z10", "#kr5", "#t3", "z1", "#Z1", "#kp x", ""})
        EXPECT_EQ(TitleReferences::parse(QString::fromUtf8(text)).kind, Kind::None) << text;
}

TEST(TitleReferenceCodes, EachInstanceShowsItsOwnTitle) {
    Workbook book;
    InitialWorkbook::build(book);
    book.insertSheet(1);
    ScriptedPrompter prompter;
    IdentModel model(book, prompter);
    model.readGeometry();
    model.setTitleRows(3);
    for (int s = 1; s <= 2; ++s) {
        book.sheet(s).setRowHidden(97, false);
        book.sheet(s).setRowHidden(98, s == 1); // a hidden title line is skipped
        book.setText(s, 97, 2, QStringLiteral("Форма %1").arg(s));
        book.setText(s, 98, 3, QStringLiteral("скрыто"));
        book.setText(s, 99, 4, QStringLiteral("за год %1").arg(s));
        book.setNumber(s, int(TitleRow::Object), kTitleValueCol, 700 + s);
    }
    TitleReferences refs(model);
    book.setActiveSheet(1);
    book.setText(1, 30, 2, QStringLiteral("#z"));
    refs.lineFinished(30, 2);
    EXPECT_EQ(refs.storedCode(30, 2), QStringLiteral("#z"));
    EXPECT_EQ(book.sheet(1).text(30, 2), QStringLiteral("Форма 1"));
    EXPECT_EQ(book.sheet(1).text(31, 4), QStringLiteral("за год 1"));
    EXPECT_EQ(book.sheet(2).text(31, 3), QStringLiteral("скрыто"));
    EXPECT_EQ(book.sheet(2).text(32, 4), QStringLiteral("за год 2"));

    book.setText(1, 40, 5, QStringLiteral("#ko"));
    refs.lineFinished(40, 5);
    EXPECT_EQ(book.sheet(1).number(40, 5), 701);
    EXPECT_EQ(book.sheet(2).number(40, 5), 702);

    book.setText(1, 99, 4, QStringLiteral("за 2004 год"));
    refs.refreshTitleCopies();
    EXPECT_EQ(book.sheet(1).text(31, 4), QStringLiteral("за 2004 год"));

    book.setText(1, 40, 5, QStringLiteral("просто текст"));
    refs.lineFinished(40, 5);
    EXPECT_TRUE(refs.storedCode(40, 5).isEmpty());
    EXPECT_EQ(book.sheet(2).type(40, 5), 0);
    EXPECT_EQ(book.sheet(1).text(40, 5), QStringLiteral("просто текст"));
}
