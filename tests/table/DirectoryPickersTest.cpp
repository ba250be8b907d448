#include "TableWindowFixture.h"

#include "IdentModel.h"
#include "IdentOptions.h"
#include "NodeMarks.h"
#include "ObjectPicking.h"
#include "TfmAgrView.h"
#include "TfmElmView.h"
#include "TfmKisFilterAgr.h"

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

using namespace TableLayout;

namespace {

QList<int> codes(const QList<PickedEntry>& entries) {
    QList<int> out;
    for (const PickedEntry& e : entries)
        out << e.code;
    return out;
}

// The node and objects pickers over the demo directories: "Территории" (1) and "Виды
// учреждений" (2), both attached to the eight demo objects.
class DirectoryPickersTest : public TableWindowFixture {
protected:
    static void SetUpTestSuite() { setUpDatabases(true); }
    void SetUp() override {
        m_saved = CurrentIdentOptions();
        CurrentIdentOptions().showEachTime = false;
        CurrentIdentOptions().transferNames = true;
    }
    void TearDown() override { CurrentIdentOptions() = m_saved; }
    // A right click on an object slot of the side, then pop-up item `item`; `inPicker`
    // runs in the modal window it opens.
    void pick(int row, int item, std::function<void(QWidget*)> inPicker) {
        emit w->Book->OnRClick(row, rowSlotColumn(Slot::Cut1));
        auto* a = w->PopMenu->findChild<QAction*>(QStringLiteral("PopItem%1").arg(item));
        ASSERT_NE(a, nullptr);
        ASSERT_TRUE(a->isEnabled());
        w->PopMenu->close();
        bool ran = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ran = dialog != nullptr;
            if (dialog)
                inPicker(dialog);
            if (QWidget* still = QApplication::activeModalWidget())
                still->close();
        });
        a->trigger();
        EXPECT_TRUE(ran);
    }
    int code(int row, Slot s) { return w->document().model().rowCode(row, s); }

    IdentOptions m_saved;
};

TEST_F(DirectoryPickersTest, MarksFollowOpenedBranchesAndGiveRelativeDepths) {
    NodeMarks m;
    m.load(2, ReadAgrNodes(dm(), 2));
    ASSERT_EQ(m.size(), 5);
    EXPECT_EQ(m.depth(2), 2);
    EXPECT_EQ(m.parent(4), 0);
    // A closed branch is marked at its top only; the mark is a toggle.
    EXPECT_EQ(m.toggle(0), 0) << "nothing else is shown";
    EXPECT_EQ(m.markedCount(), 1);
    m.toggle(0);
    EXPECT_EQ(m.markedCount(), 0);
    // The opened top takes its shown children, not the closed grandchild.
    m.setExpanded(0, true);
    EXPECT_EQ(m.toggle(0), 1);
    EXPECT_EQ(codes(m.chosen()), (QList<int>{1, 2, 4, 5}));
    m.clearMarks();
    m.setExpanded(1, true);
    EXPECT_EQ(m.toggle(1), 2);
    const QList<PickedEntry> chosen = m.chosen();
    ASSERT_EQ(codes(chosen), (QList<int>{2, 3}));
    EXPECT_EQ(chosen[0].depth, 1);
    EXPECT_EQ(chosen[1].depth, 2);
    EXPECT_EQ(chosen[1].directory, 2);
    EXPECT_EQ(chosen[1].name, QStringLiteral("Центральные районные больницы"));
    m.load(2, {{7, QStringLiteral("A"), 1}, {12, QStringLiteral("B"), 1}});
    EXPECT_EQ(m.prefixedText(0), QStringLiteral("7  A"));
    EXPECT_EQ(m.prefixedText(1), QStringLiteral("12 B"));
}

TEST_F(DirectoryPickersTest, ObjectListFiltersByNodesOfAttachedDirectories) {
    ObjectPicking p(dm());
    p.load();
    ASSERT_EQ(p.attached(), (QList<int>{1, 2}));
    ASSERT_EQ(p.rows().size(), 8);
    EXPECT_EQ(p.columnTitle(1), QStringLiteral("Виды учреждений"));
    EXPECT_EQ(p.membershipText(0, 1), QStringLiteral("Больничные учреждения"));
    p.filterBy(1, 5, QStringLiteral("Фельдшерско-акушерские пункты"));
    EXPECT_EQ(p.rows().size(), 2);
    EXPECT_EQ(p.columnTitle(1), QStringLiteral("Фельдшерско-акушерские пункты"));
    p.filterBy(0, 3, QStringLiteral("Южный район"));
    ASSERT_EQ(p.rows().size(), 1);
    EXPECT_EQ(p.rows()[0].code, 8);
    p.removeFilter();
    EXPECT_EQ(p.rows().size(), 8);
    EXPECT_EQ(p.columnTitle(1), QStringLiteral("Виды учреждений"));
    // Selected rows go in list order, each once.
    const QList<PickedEntry> chosen = p.chosen({5, 0, 5});
    EXPECT_EQ(codes(chosen), (QList<int>{1, 6}));
    EXPECT_EQ(chosen[0].directory, 99);
    EXPECT_EQ(ObjectPicking::modeQuestion(1),
              QStringLiteral("Режим идентификации: \"Дополнить\". Правильно ?"));
}

TEST_F(DirectoryPickersTest, NodeWithItsOpenedChildExtendsARowIntoTwo) {
    open(2);
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    for (int s : {1, 2, rowSheet()})
        book().setText(s, r, kSideCol, QStringLiteral("S"));
    book().setNumber(rowSheet(), r, rowSlotColumn(Slot::IndicatorCode), 1);
    CurrentIdentOptions().identMode = 1;
    pick(r, 2, [](QWidget* dialog) {
        auto* view = qobject_cast<TfmAgrView*>(dialog);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Виды учреждений"));
        EXPECT_FALSE(view->SBtable->isEnabled());
        view->item(0)->setExpanded(true);
        view->item(1)->setExpanded(true);
        view->toggleNode(1);
        EXPECT_EQ(view->TrvMaster->currentItem(), view->item(2));
        EXPECT_EQ(view->item(2)->checkState(0), Qt::Checked);
        const QList<PickedEntry> chosen = view->marks().chosen();
        ASSERT_EQ(chosen.size(), 2);
        EXPECT_EQ(chosen[0].depth, 1);
        EXPECT_EQ(chosen[1].depth, 2);
        view->SBtableClick();
        EXPECT_FALSE(view->isVisible());
    });
    EXPECT_EQ(sheet(rowSheet()).entry(r, kSideCol), QStringLiteral("S / Больничные учреждения"));
    EXPECT_EQ(sheet(2).entry(r + 1, kSideCol), QStringLiteral("S / Центральные районные больницы"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(code(r + i, Slot::Cut1), 2 + i);
        EXPECT_EQ(code(r + i, Slot::Cut1Type), 2);
        EXPECT_EQ(code(r + i, Slot::IndicatorCode), 1);
    }
    EXPECT_EQ(code(r + 2, Slot::Cut1), 0);
    EXPECT_EQ(w->fmAgrView().marks().markedCount(), 0) << "marks end with the window";
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();
}

TEST_F(DirectoryPickersTest, FilteredObjectsArePutAfterTheModeIsConfirmed) {
    open();
    trigger("mIdBok");
    const int r = lastHeader() + 1;
    CurrentIdentOptions().identMode = 0;
    m_prompter.answer(Answer::Yes);
    pick(r, 3, [](QWidget* dialog) {
        auto* view = qobject_cast<TfmElmView*>(dialog);
        ASSERT_NE(view, nullptr);
        ASSERT_EQ(view->dgElm->rowCount(), 8);
        QTimer::singleShot(0, [] {
            auto* f = qobject_cast<TfmKisFilterAgr*>(QApplication::activeModalWidget());
            ASSERT_NE(f, nullptr);
            const auto found = f->trvAgr->findItems(QStringLiteral("Фельдшерско-акушерские пункты"),
                                                    Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_EQ(found.size(), 1);
            f->trvAgr->setCurrentItem(found[0]);
            f->accept();
        });
        view->filterColumn(3);
        ASSERT_EQ(view->dgElm->rowCount(), 2);
        EXPECT_EQ(view->dgElm->horizontalHeaderItem(3)->text(),
                  QStringLiteral("Фельдшерско-акушерские пункты"));
        view->SBtableClick();
        EXPECT_TRUE(view->isVisible()) << "nothing selected";
        view->dgElm->selectAll();
        view->SBtableClick();
        EXPECT_FALSE(view->isVisible());
    });
    EXPECT_EQ(m_prompter.texts(),
              (QStringList{ObjectPicking::modeQuestion(0), ObjectPicking::noObjects()}));
    EXPECT_EQ(code(r, Slot::Object), 7);
    EXPECT_EQ(code(r + 1, Slot::Object), 8);
    EXPECT_EQ(code(r + 1, Slot::ObjectType), 99);
    EXPECT_EQ(code(r + 2, Slot::Object), 0);
    EXPECT_EQ(sheet(1).entry(r, kSideCol), QStringLiteral("ФАП с. Берёзовка"));
}

TEST_F(DirectoryPickersTest, ModeNotConfirmedAndOptionsCancelledEndsTheCommand) {
    open();
    trigger("mIdBok");
    CurrentIdentOptions().identMode = 1;
    m_prompter.answer(Answer::No);
    QStringList modals;
    // Anything opened after the options dialog is cancelled is recorded and closed; the
    // timer dies with the test when nothing comes.
    QTimer next;
    next.setSingleShot(true);
    next.callOnTimeout([&] {
        if (QWidget* later = QApplication::activeModalWidget()) {
            modals << later->objectName();
            later->close();
        }
    });
    pick(lastHeader() + 1, 3, [&](QWidget* dialog) {
        modals << dialog->objectName();
        next.start(0);
        dialog->close();
    });
    EXPECT_EQ(modals, QStringList{QStringLiteral("fmOptions")});
    EXPECT_EQ(m_prompter.texts(), QStringList{ObjectPicking::modeQuestion(1)});
}

// One aggregation directory and the objects directory switched off: no menu to choose
// from, the node picker opens at once.
class SingleDirectoryPickerTest : public TableWindowFixture {
protected:
    static void SetUpTestSuite() {
        setUpDatabases(false);
        for (const char* sql : {"INSERT INTO SPISAGR (NUMAGR, NAMEAGR, NAMEAGRZAG, ISINELM) "
                                "VALUES (1, 'Районы', ' ', 'F')",
                                "INSERT INTO AGR (KODFOLDER, NUMAGR, NAMEFOLDER, NPP, NLEVEL) "
                                "VALUES (40, 1, 'Центральный', 1, 1)",
                                "UPDATE NAST SET ISELMENABLED = 'F'"})
            dbtest::exec(fact(), QString::fromUtf8(sql));
    }
};

TEST_F(SingleDirectoryPickerTest, HeaderObjectSlotOpensTheOnlyDirectory) {
    open();
    trigger("mIdShap");
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* view = qobject_cast<TfmAgrView*>(QApplication::activeModalWidget());
        opened = view != nullptr;
        if (view) {
            EXPECT_EQ(view->windowTitle(), QStringLiteral("Районы"));
            view->close();
        }
    });
    emit w->Book->OnRClick(lastHeader() + 8, kFirstDataCol);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();
}

} // namespace
