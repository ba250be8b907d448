#include "TableWindowFixture.h"

#include <QLineEdit>
#include <QTest>

namespace {

class BookEntryWindowTest : public TableWindowFixture {};

} // namespace

// A formula naming a sheet the table does not have is refused through the editor's
// prompter; what was typed stays in the open entry.
TEST_F(BookEntryWindowTest, AFormulaNamingAMissingSheetIsRefusedAndStaysOpen) {
    open(2);
    const int row = lastHeader() + 1;
    w->Book->setActiveCell(row, 3);
    QTest::keyClick(w->Book, '=');
    ASSERT_TRUE(w->Book->isEditing());
    w->Book->editor()->setText(QStringLiteral("=Лист7!C101+1"));
    m_prompter.clear();
    QTest::keyClick(w->Book->editor(), Qt::Key_Return);
    EXPECT_EQ(m_prompter.texts(),
              QStringList{QStringLiteral("В формуле указан несуществующий лист \"Лист7\"")});
    ASSERT_TRUE(w->Book->isEditing());
    EXPECT_EQ(w->Book->editor()->text(), QStringLiteral("=Лист7!C101+1"));
    EXPECT_EQ(sheet(1).type(row, 3), 0);
    EXPECT_EQ(w->Book->activeRow(), row);

    book().setNumber(2, row, 3, 4);
    w->Book->editor()->setText(QStringLiteral("='%1'!C%2+1").arg(sheet(2).name()).arg(row));
    QTest::keyClick(w->Book->editor(), Qt::Key_Return);
    EXPECT_FALSE(w->Book->isEditing());
    EXPECT_EQ(sheet(1).number(row, 3), 5);
}
