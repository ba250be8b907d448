#include "DbTestHelpers.h"
#include "MenuItems.h"
#include "OutlineTestSupport.h"
#include "OutlineTreeWidget.h"
#include "ScriptedLoginLauncher.h"
#include "TMyDBGrid.h"
#include "TfmKisMain0.h"

#include "AppContext.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

// The grid's open cell editor (closed ones linger hidden until deleted).
QLineEdit* CellEditor(QWidget* grid) {
    for (QLineEdit* e : grid->findChildren<QLineEdit*>())
        if (e->isVisible())
            return e;
    return nullptr;
}

void Focus(QWidget* widget, QEvent::Type type) {
    QFocusEvent event(type, Qt::OtherFocusReason);
    QApplication::sendEvent(widget, &event);
}

const QString kChanged =
    QStringLiteral("Каталог сборников изменен другим пользователем. Повторите...");
const QString kDeleted = QStringLiteral("Сборник удален другим пользователем");

// The collections window over the folders seeded by each test, with "Код формы" on,
// and a second program working on the same databases.
class CollectionsWindowCommands : public ::testing::Test {
protected:
    void open(const QStringList& folders, const QStringList& moreSql = {}) {
        AppContext::setProgramFolder(m_dbs.folder());
        m_dbs.writeConfig();
        m_tab = m_dbs.connect(1);
        SeedSbr(*m_tab, folders);
        exec(*m_tab, QStringLiteral("UPDATE SBR SET NAMEID = 'k' || LOWER(NAMEFOLDER)"));
        for (const QString& sql : moreSql)
            exec(*m_tab, sql);
        m_dm.setLoginLauncher(&m_login);
        m_dm.create();
        m_window = std::make_unique<TfmKisMain0>(m_dm, m_prompter);
        ASSERT_TRUE(m_window->connectDatabases());
        m_window->show();
        m_tree = m_window->findChild<OutlineTreeWidget*>(QStringLiteral("trvMaster"));
        m_grid = m_window->findChild<TMyDBGrid*>(QStringLiteral("dgSlave"));
        m_kod = m_window->findChild<QLineEdit*>();
        ASSERT_TRUE(m_tree && m_grid && m_kod);
        item(QStringLiteral("Операции"), QStringLiteral("Код формы"))->setChecked(true);
        for (QToolButton* b : m_window->findChildren<QToolButton*>())
            m_buttons.insert(b->toolTip().trimmed(), b);
        m_tree->setFocus();
    }
    void TearDown() override {
        m_window.reset();
        m_other.reset();
        m_tab.reset();
    }
    QAction* item(const QString& menu, const QString& caption) {
        QAction* a = FindItem(*m_window, menu, caption);
        if (!a)
            ADD_FAILURE() << caption.toStdString();
        return a;
    }
    QAction* operation(const char* caption) {
        return item(QStringLiteral("Операции"), QString::fromUtf8(caption));
    }
    void select(const QString& name) {
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            if (m_tree->topLevelItem(i)->text(0) == name)
                m_tree->setCurrentItem(m_tree->topLevelItem(i));
    }
    // One table "t" in the collection, whose tables grid is then entered.
    void openTableOf(const QString& collection) {
        call(*m_tab, "INSERT_CAT",
             {{"NPP", 100}, {"KODFOLDER", key(collection)}, {"NAMEFOLDER", "t"}, {"KODALT", "x"}});
        select(collection);
        QTest::keyClick(m_tree, Qt::Key_Return);
    }
    int key(const QString& name) {
        return scalar(*m_tab, QStringLiteral("SELECT KODFOLDER FROM SBR WHERE NAMEFOLDER = :N"),
                      {{"N", name}})
            .toInt();
    }
    QString stored(const QString& column, const QString& name) {
        return scalar(*m_tab,
                      QStringLiteral("SELECT %1 FROM SBR WHERE NAMEFOLDER = :N").arg(column),
                      {{"N", name}})
            .toString();
    }
    // The second program deletes a collection.
    void deleteElsewhere(const QString& name) {
        if (!m_other)
            m_other = std::make_unique<Instance>(m_dbs, OutlineDescriptor::Collections());
        m_other->engine.BuildOutline();
        ASSERT_TRUE(m_other->engine.selectKey(key(name)));
        ASSERT_TRUE(m_other->engine.DeleteOutlineSubtree());
    }
    // Every tree command, button and menu item, as enabled flags in the order
    // add, delete, up, down, one level up, one level down.
    QString treeCommands() {
        QString out;
        const char* hints[] = {"Добавить новый сборник", "Удалить сборник",
                               "Сместить вверх",         "Сместить вниз",
                               "На один уровень вверх",  "На один уровень вниз"};
        const char* items[] = {"Добавить",
                               "Удалить",
                               "Сместить вверх",
                               "Сместить вниз",
                               "На один уровень вверх",
                               "На один уровень вниз"};
        for (int i = 0; i < 6; ++i) {
            QToolButton* b = m_buttons.value(QString::fromUtf8(hints[i]));
            out += QLatin1Char(b && b->isEnabled() ? 'b' : '-');
            out += QLatin1Char(operation(items[i])->isEnabled() ? 'm' : '-');
            out += QLatin1Char(' ');
        }
        return out.trimmed();
    }

    TestDatabases m_dbs;
    std::unique_ptr<DbConnection> m_tab;
    ScriptedPrompter m_prompter;
    TdmMSSQL m_dm{m_prompter};
    ScriptedLoginLauncher m_login;
    std::unique_ptr<TfmKisMain0> m_window;
    std::unique_ptr<Instance> m_other;
    OutlineTreeWidget* m_tree = nullptr;
    TMyDBGrid* m_grid = nullptr;
    QLineEdit* m_kod = nullptr;
    QHash<QString, QToolButton*> m_buttons;
};

} // namespace

// While the identifier is typed no tree command can run; another program's change
// read in meanwhile rebuilds the tree, and the identifier still goes to the
// collection it was typed for.
TEST_F(CollectionsWindowCommands, TheIdentifierGoesToItsCollectionAfterARebuild) {
    open({"X:1", "Y:1", "Z:1"});
    EXPECT_EQ(m_kod->text(), QStringLiteral("kx"));
    select(QStringLiteral("Y"));
    EXPECT_EQ(m_kod->text(), QStringLiteral("ky"));
    EXPECT_EQ(treeCommands(), QStringLiteral("bm bm bm bm -- bm"));

    Focus(m_kod, QEvent::FocusIn);
    EXPECT_EQ(treeCommands(), QStringLiteral("-- -- -- -- -- --"));
    QTest::keyClicks(m_kod, QStringLiteral("-2"));
    deleteElsewhere(QStringLiteral("X"));
    // A command outside the tree's reads the change in: the tree is built anew.
    item(QStringLiteral("Защита"), QStringLiteral("Ввести пароль"))->trigger();
    EXPECT_EQ(m_prompter.texts(), QStringList{kChanged});
    EXPECT_EQ(m_kod->text(), QStringLiteral("ky-2"));
    EXPECT_EQ(treeCommands(), QStringLiteral("-- -- -- -- -- --"));

    Focus(m_kod, QEvent::FocusOut);
    EXPECT_EQ(stored(QStringLiteral("NAMEID"), QStringLiteral("Y")), QStringLiteral("ky-2"));
    EXPECT_EQ(stored(QStringLiteral("NAMEID"), QStringLiteral("Z")), QStringLiteral("kz"));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM SBR WHERE NAMEFOLDER IN "
                                            "('Y', 'Z')"))
                  .toInt(),
              2);
    // Y is now the first collection: it may go down only.
    EXPECT_EQ(treeCommands(), QStringLiteral("bm bm -- bm -- --"));
    EXPECT_EQ(m_kod->text(), QStringLiteral("ky-2"));

    // Typed for a collection deleted meanwhile: the user is told, nothing is written.
    select(QStringLiteral("Z"));
    Focus(m_kod, QEvent::FocusIn);
    QTest::keyClicks(m_kod, QStringLiteral("-3"));
    deleteElsewhere(QStringLiteral("Z"));
    item(QStringLiteral("Защита"), QStringLiteral("Ввести пароль"))->trigger();
    Focus(m_kod, QEvent::FocusOut);
    EXPECT_EQ(m_prompter.texts(), (QStringList{kChanged, kChanged, kDeleted}));
    EXPECT_EQ(m_kod->text(), QStringLiteral("ky-2"));
    EXPECT_EQ(treeCommands(), QStringLiteral("bm bm -- -- -- --"));
}

// The box shows the selected collection's identifier whoever changes the selection,
// holds as many characters as NAMEID, and is empty with the tree.
TEST_F(CollectionsWindowCommands, TheIdentifierBoxFollowsTheSelection) {
    open({});
    EXPECT_EQ(m_kod->maxLength(), 30);
    EXPECT_EQ(m_kod->text(), QString());
    m_prompter.answer(Answer::Yes).answer(Answer::Yes);

    operation("Добавить")->trigger();
    Focus(m_kod, QEvent::FocusIn);
    QTest::keyClicks(m_kod, QString(40, QLatin1Char('a')));
    Focus(m_kod, QEvent::FocusOut);
    const QString a(30, QLatin1Char('a'));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT NAMEID FROM SBR")).toString(), a);

    operation("Добавить")->trigger();
    EXPECT_EQ(m_kod->text(), QString());
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
    EXPECT_EQ(m_kod->text(), a);
    m_tree->setCurrentItem(m_tree->topLevelItem(1));
    EXPECT_EQ(m_kod->text(), QString());
    // Deleting the last collection selects the one before it.
    operation("Удалить")->trigger();
    EXPECT_EQ(m_kod->text(), a);
    operation("Удалить")->trigger();
    EXPECT_EQ(m_tree->topLevelItemCount(), 0);
    EXPECT_EQ(m_kod->text(), QString());
    EXPECT_EQ(m_prompter.texts().count(
                  QStringLiteral("Вы действительно хотите удалить сборник и все его таблицы ?")),
              2);
    EXPECT_TRUE(m_prompter.allAnswersUsed());
}

// The move and level items follow the selected collection again after its tables
// were shown and after the identifier box had the focus.
TEST_F(CollectionsWindowCommands, MovesAndLevelsComeBackAfterTablesAndTheIdentifier) {
    open({"A:1", "B:1"});
    select(QStringLiteral("A"));
    const QString first = QStringLiteral("bm bm -- bm -- --");
    ASSERT_EQ(treeCommands(), first);

    QTest::keyClick(m_tree, Qt::Key_Return);
    ASSERT_EQ(m_window->controller().mode(), CollectionsController::Mode::Tables);
    EXPECT_FALSE(operation("Сместить вниз")->isEnabled());
    Focus(m_tree, QEvent::FocusIn);
    EXPECT_EQ(treeCommands(), first);

    Focus(m_kod, QEvent::FocusIn);
    Focus(m_kod, QEvent::FocusOut);
    EXPECT_EQ(treeCommands(), first);
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();
}

// A table added to a collection another program has just deleted: refused, and the
// window goes back to the tree as it now is.
TEST_F(CollectionsWindowCommands, AddingATableToACollectionDeletedElsewhere) {
    open({"A:1", "B:1"});
    select(QStringLiteral("A"));
    QTest::keyClick(m_tree, Qt::Key_Return);
    ASSERT_EQ(m_window->controller().mode(), CollectionsController::Mode::Tables);
    deleteElsewhere(QStringLiteral("A"));

    operation("Добавить")->trigger();
    EXPECT_EQ(m_prompter.texts(), QStringList{kDeleted});
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT COUNT(*) FROM CAT")).toInt(), 0);
    EXPECT_EQ(m_window->controller().mode(), CollectionsController::Mode::Collections);
    EXPECT_EQ(m_window->windowTitle(), TfmKisMain0::mainCaption());
    EXPECT_FALSE(m_grid->isEnabled());
    ASSERT_EQ(m_tree->topLevelItemCount(), 1);
    EXPECT_EQ(m_tree->topLevelItem(0)->text(0), QStringLiteral("B"));
    EXPECT_EQ(m_kod->text(), QStringLiteral("kb"));

    // The tree is up to date: the next command does not report the deletion again.
    operation("Добавить")->trigger();
    EXPECT_EQ(m_prompter.texts(), QStringList{kDeleted});
    EXPECT_EQ(m_tree->topLevelItemCount(), 2);
    // Enter in the new collection's caption stores its name and stays in the tree.
    QApplication::processEvents();
    QLineEdit* caption = nullptr;
    for (QLineEdit* e : m_tree->findChildren<QLineEdit*>())
        if (e->isVisible())
            caption = e;
    ASSERT_TRUE(caption);
    QTest::keyClicks(caption, QStringLiteral("C"));
    QTest::keyClick(caption, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(m_window->controller().mode(), CollectionsController::Mode::Collections);
    EXPECT_EQ(stored(QStringLiteral("NLEVEL"), QStringLiteral("C")), QStringLiteral("1"));
}

// Cells take no more than their columns hold; a refusal is told in Russian and the
// typed text comes back into the cell's editor.
TEST_F(CollectionsWindowCommands, TableCellsKeepToTheirColumns) {
    open({"A:1"}, {QStringLiteral("ALTER TABLE CAT ADD CONSTRAINT KODALT_NOT_BAD "
                                  "CHECK (KODALT IS DISTINCT FROM 'bad')")});
    openTableOf(QStringLiteral("A"));
    ASSERT_TRUE(m_grid->isEnabled());
    QApplication::processEvents();
    const auto editCell = [&](int column, const QString& typed) {
        const QModelIndex cell = m_grid->model()->index(0, column);
        m_grid->setCurrentIndex(cell);
        m_grid->edit(cell);
        QLineEdit* editor = CellEditor(m_grid);
        EXPECT_TRUE(editor);
        if (!editor)
            return -1;
        const int limit = editor->maxLength();
        editor->selectAll();
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        return limit;
    };
    EXPECT_EQ(editCell(1, QString(30, QLatin1Char('7'))), 20);
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT KODALT FROM CAT")).toString(),
              QString(20, QLatin1Char('7')));
    EXPECT_EQ(editCell(0, QStringLiteral("Form 1")), 140);
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT NAMEFOLDER FROM CAT")).toString(),
              QStringLiteral("Form 1"));
    EXPECT_TRUE(m_prompter.shown().isEmpty()) << m_prompter.texts().join('|').toStdString();

    editCell(1, QStringLiteral("bad"));
    QApplication::processEvents(); // the editor comes back after the refused one has closed
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_TRUE(m_prompter.lastText().startsWith(
        QStringLiteral("Ошибка при корректировке. Повторите...\r\n\r\n")));
    EXPECT_TRUE(m_prompter.lastText().contains(QStringLiteral("KODALT_NOT_BAD")));
    QLineEdit* editor = CellEditor(m_grid);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->text(), QStringLiteral("bad"));
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT KODALT FROM CAT")).toString(),
              QString(20, QLatin1Char('7')));
    EXPECT_FALSE(m_dm.dbTab.inTransaction());
}

namespace {

// Plays the user on the modal dialogs the window opens, one handler per dialog in
// the order they come; a dialog nobody expected is cancelled and fails the test.
class DialogScript : public QObject {
public:
    using Handler = std::function<void(QDialog*)>;
    explicit DialogScript(QList<Handler> handlers) : m_handlers(std::move(handlers)) {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }
    bool done() const { return m_handlers.isEmpty(); }

private:
    void poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == m_last)
            return;
        m_last = dialog;
        if (m_handlers.isEmpty()) {
            ADD_FAILURE() << "unexpected dialog " << dialog->windowTitle().toStdString();
            dialog->reject();
            return;
        }
        m_handlers.takeFirst()(dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "dialog left open " << dialog->windowTitle().toStdString();
            dialog->reject();
        }
    }

    QList<Handler> m_handlers;
    QTimer m_timer;
    QPointer<QDialog> m_last;
};

QPushButton* Button(QDialog* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Types into the dialog's password field and presses one of its buttons.
void Press(QDialog* dialog, const QString& typed, const QString& button) {
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("edParol"));
    QPushButton* b = Button(dialog, button);
    ASSERT_TRUE(field && b) << dialog->windowTitle().toStdString();
    field->clear();
    QTest::keyClicks(field, typed);
    b->click();
}

} // namespace

// The collection password is typed in dialogs with "Применить"/"Отменить" that take
// eight characters and stay open after a wrong or unstorable password.
TEST_F(CollectionsWindowCommands, CollectionPasswordDialogsStayOpenUntilDone) {
    open({"A:1"}, {QStringLiteral("ALTER TABLE SBR ADD CONSTRAINT PAROL_NOT_BAD "
                                  "CHECK (PAROL IS DISTINCT FROM 'bad')")});
    QAction* enter = item(QStringLiteral("Защита"), QStringLiteral("Ввести пароль"));
    const QString failed = QStringLiteral("Не удалось задать пароль\r\n\r\n");
    bool stayed = false;
    {
        DialogScript script({[&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Пароль сборника"));
            auto* field = d->findChild<QLineEdit*>(QStringLiteral("edParol"));
            ASSERT_TRUE(field);
            EXPECT_EQ(field->maxLength(), 8);
            EXPECT_EQ(field->echoMode(), QLineEdit::Password);
            ASSERT_TRUE(Button(d, QStringLiteral("Отменить")));
            EXPECT_TRUE(Button(d, QStringLiteral("Применить"))->isDefault());
            Press(d, QStringLiteral("bad"), QStringLiteral("Применить"));
            stayed = d->isVisible();
            EXPECT_TRUE(m_prompter.lastText().startsWith(failed));
            Press(d, QStringLiteral("Pa3456789"), QStringLiteral("Применить"));
        }});
        enter->trigger();
        EXPECT_TRUE(script.done());
    }
    EXPECT_TRUE(stayed);
    EXPECT_EQ(stored(QStringLiteral("PAROL"), QStringLiteral("A")), QStringLiteral("Pa345678"));
    ASSERT_EQ(m_prompter.shown().size(), 1);
    EXPECT_EQ(m_prompter.shown()[0].caption, QStringLiteral("Сообщение"));

    // Now the old password is asked first; a wrong one keeps that dialog open.
    stayed = false;
    {
        DialogScript script(
            {[&](QDialog* d) {
                 EXPECT_EQ(d->windowTitle(), QStringLiteral("Пароль сборника"));
                 Press(d, QStringLiteral("pa345678"), QStringLiteral("Применить"));
                 stayed = d->isVisible();
                 Press(d, QStringLiteral("Pa345678"), QStringLiteral("Применить"));
             },
             [&](QDialog* d) { Press(d, QStringLiteral("x"), QStringLiteral("Отменить")); }});
        enter->trigger();
        EXPECT_TRUE(script.done());
    }
    EXPECT_TRUE(stayed);
    EXPECT_EQ(m_prompter.lastText(), QStringLiteral("Неверный пароль"));
    EXPECT_EQ(stored(QStringLiteral("PAROL"), QStringLiteral("A")), QStringLiteral("Pa345678"));
}

// The table password dialog also stays open when its password cannot be stored.
TEST_F(CollectionsWindowCommands, TablePasswordDialogStaysOpenUntilStored) {
    open({"A:1"}, {QStringLiteral("ALTER TABLE CAT ADD CONSTRAINT CAT_PAROL_NOT_BAD "
                                  "CHECK (PAROL IS DISTINCT FROM 'bad')")});
    openTableOf(QStringLiteral("A"));
    ASSERT_TRUE(m_grid->isEnabled());
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_grid->model()->index(0, 0));
    QAction* table = item(QStringLiteral("Защита"), QStringLiteral("Таблица"));
    ASSERT_TRUE(table && table->menu() && table->isEnabled());
    QAction* enter = FindItem(table->menu(), QStringLiteral("Ввести пароль"));
    ASSERT_TRUE(enter);
    bool stayed = false;
    {
        DialogScript script({[&](QDialog* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Защита таблицы"));
            Press(d, QStringLiteral("bad"), QStringLiteral("Применить"));
            stayed = d->isVisible();
            EXPECT_TRUE(m_prompter.lastText().startsWith(
                QStringLiteral("Ошибка при сохранении в БД: \r\n\r\n")));
            Press(d, QStringLiteral("good"), QStringLiteral("Применить"));
        }});
        enter->trigger();
        EXPECT_TRUE(script.done());
    }
    EXPECT_TRUE(stayed);
    EXPECT_EQ(scalar(*m_tab, QStringLiteral("SELECT PAROL FROM CAT")).toString().trimmed(),
              QStringLiteral("good"));
}

// "HTML" on a collection of the tree writes its index: the caption escaped and a link to
// each table's page beside it; the item waits for the tree.
TEST_F(CollectionsWindowCommands, TheHtmlIndexOfACollectionLinksItsTablePages) {
    open({"Отчеты <2024> & итоги:1", "Y:1"});
    const QString name = QStringLiteral("Отчеты <2024> & итоги");
    const int kod = call(*m_tab, "INSERT_CAT",
                         {{"NPP", 100},
                          {"KODFOLDER", key(name)},
                          {"NAMEFOLDER", "Коечный фонд"},
                          {"KODALT", "x"}})
                        .output(QStringLiteral("KOD_ELMT"))
                        .toInt();
    select(name);
    QMenu* ops = nullptr;
    for (QAction* top : m_window->menuBar()->actions())
        if (top->text() == QStringLiteral("Операции"))
            ops = top->menu();
    ASSERT_NE(ops, nullptr);
    emit ops->aboutToShow();
    QAction* html = operation("HTML");
    ASSERT_TRUE(html->isEnabled());
    QTemporaryDir dir;
    m_prompter.file(dir.filePath(QStringLiteral("index")));
    html->trigger();
    QFile page(dir.filePath(QStringLiteral("index.HTM")));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("<h1 align=\"center\">Отчеты &lt;2024&gt; &amp; "
                                             "итоги</h1>")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("<h2><a href=\"T%1.HTM\">Коечный фонд</a></h2>").arg(kod)));
}
