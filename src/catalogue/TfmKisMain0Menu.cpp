// The main menu of the collections window and the directory entries built from the
// fact database.
#include "TfmKisMain0.h"

#include "AboutText.h"
#include "DbError.h"
#include "DbTransaction.h"
#include "HelpViewer.h"
#include "HtmlExport.h"
#include "MenuColumns.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "TfmIBRights.h"
#include "TfmKisAgr0.h"
#include "TfmKisElm0.h"
#include "TfmKisObj0.h"
#include "TfmKisPok0.h"
#include "TfmPeriod.h"
#include "TfmPswdCAT.h"

#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

QAction* TfmKisMain0::item(QMenu* menu, const QString& caption, const QKeySequence& key,
                           bool enabled) {
    QAction* a = menu->addAction(caption);
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setEnabled(enabled);
    return a;
}

void TfmKisMain0::buildMenu() {
    QMenuBar* mmKis = menuBar();
    mmKis->setObjectName(QStringLiteral("mmKis"));

    QMenu* ops = mmKis->addMenu(QStringLiteral("Операции"));
    // HTML and some windows below are opened by their own parts.
    m_copy = item(ops, QStringLiteral("Копировать"), QKeySequence(Qt::CTRL | Qt::Key_C), false);
    m_paste = item(ops, QStringLiteral("Вставить"), QKeySequence(Qt::CTRL | Qt::Key_V), false);
    m_add = item(ops, QStringLiteral("Добавить"), QKeySequence(Qt::CTRL | Qt::Key_A));
    m_delete = item(ops, QStringLiteral("Удалить"), QKeySequence(Qt::CTRL | Qt::Key_D));
    ops->addSeparator();
    m_down = item(ops, QStringLiteral("Сместить вниз"));
    m_up = item(ops, QStringLiteral("Сместить вверх"));
    m_left = item(ops, QStringLiteral("На один уровень вверх"));
    m_right = item(ops, QStringLiteral("На один уровень вниз"));
    ops->addSeparator();
    m_kod = item(ops, QStringLiteral("Код формы"), QKeySequence(Qt::CTRL | Qt::Key_K));
    m_kod->setCheckable(true);
    m_html = item(ops, QStringLiteral("HTML"), {}, false);
    m_html->setObjectName(QStringLiteral("imHTML"));
    connect(m_html, &QAction::triggered, this, [this] { writeHtmlIndex(); });
    ops->addSeparator();
    QAction* exit = item(ops, QStringLiteral("Выход"));
    // The tree's commands follow the tree buttons; add and delete go by the mode.
    connect(m_copy, &QAction::triggered, this, [this] { copyByMode(); });
    connect(m_paste, &QAction::triggered, this, [this] { pasteByMode(); });
    connect(m_add, &QAction::triggered, this, [this] { addByMode(); });
    connect(m_delete, &QAction::triggered, this, [this] { deleteByMode(); });
    connect(m_down, &QAction::triggered, sbDown, &QToolButton::click);
    connect(m_up, &QAction::triggered, sbUp, &QToolButton::click);
    connect(m_left, &QAction::triggered, sbLeft, &QToolButton::click);
    connect(m_right, &QAction::triggered, sbRight, &QToolButton::click);
    connect(m_kod, &QAction::toggled, this, [this](bool on) { toggleKod(on); });
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(ops, &QMenu::aboutToShow, this, [this] {
        // The index is written from the tree of collections only.
        m_html->setEnabled(m_controller->mode() == CollectionsController::Mode::Collections &&
                           m_tree->tree().current() != nullptr);
        if (m_controller->mode() == CollectionsController::Mode::Tables)
            m_delete->setEnabled(!m_rows.isEmpty());
        updateCopyPaste();
    });

    m_directories = mmKis->addMenu(QStringLiteral("Справочники"));
    QAction* indicators = item(m_directories, QStringLiteral("Показатели"));
    connect(indicators, &QAction::triggered, this,
            [this] { TfmKisPok0::run(m_dm, m_prompter, this); });

    QMenu* setup = mmKis->addMenu(QStringLiteral("Настройка"));
    QAction* composition = item(setup, QStringLiteral("Состав  справочников  объектов"));
    connect(composition, &QAction::triggered, this, [this] { showComposition(); });
    QAction* periods = item(setup, QStringLiteral("Периоды хранения"));
    connect(periods, &QAction::triggered, this, [this] { showPeriods(); });
    QAction* bar = item(setup, QStringLiteral("Панель инструментов"));
    bar->setCheckable(true);
    bar->setChecked(true);
    connect(bar, &QAction::toggled, m_toolBar, &QToolBar::setVisible);
    m_rights = item(setup, QStringLiteral("Права пользователя"), {}, false);
    connect(m_rights, &QAction::triggered, this, [this] { showRights(); });
    setup->addSeparator();
    QAction* switchMain = item(setup, QStringLiteral("Сменить фактографическую  БД"));
    QAction* switchTab = item(setup, QStringLiteral("Сменить БТМ"));
    m_userMain = item(setup, QStringLiteral("Сменить пользователя фактографической БД"));
    m_userTab = item(setup, QStringLiteral("Сменить пользователя БТМ"));
    connect(switchMain, &QAction::triggered, this, [this] { switchDatabase(0); });
    connect(switchTab, &QAction::triggered, this, [this] { switchDatabase(1); });
    connect(m_userMain, &QAction::triggered, this, [this] { changeUser(0); });
    connect(m_userTab, &QAction::triggered, this, [this] { changeUser(1); });

    QMenu* protect = mmKis->addMenu(QStringLiteral("Защита"));
    QMenu* sbr = protect->addMenu(QStringLiteral("Сборник таблиц"));
    m_protectSbr = sbr->menuAction();
    QAction* sbrPassword = item(sbr, QStringLiteral("Ввести пароль"));
    connect(sbrPassword, &QAction::triggered, this,
            [this] { m_controller->enterCollectionPassword(); });
    m_viewSbrPassword = item(sbr, QStringLiteral("Посмотреть пароль"));
    connect(m_viewSbrPassword, &QAction::triggered, this,
            [this] { m_controller->showCollectionPassword(); });
    QMenu* cat = protect->addMenu(QStringLiteral("Таблица"));
    m_protectCat = cat->menuAction();
    m_protectCat->setEnabled(false);
    QAction* catPassword = item(cat, QStringLiteral("Ввести пароль"));
    connect(catPassword, &QAction::triggered, this, [this] {
        m_controller->enterTablePassword(
            [this](const QString& parol, bool onOpen, bool onSave,
                   const CollectionsController::TablePasswordStore& store) {
                return TfmPswdCAT::run(this, parol, onOpen, onSave, store);
            });
    });
    m_viewCatPassword = item(cat, QStringLiteral("Посмотреть пароль"));
    connect(m_viewCatPassword, &QAction::triggered, this,
            [this] { m_controller->showTablePassword(); });

    QMenu* help = mmKis->addMenu(QStringLiteral("Помощь"));
    QAction* contents = item(help, QStringLiteral("Содержание"));
    connect(contents, &QAction::triggered, this, [this] { HelpViewer::showContents(this); });
    QAction* about = item(help, QStringLiteral("О программе"));
    connect(about, &QAction::triggered, this, [this] { showAbout(); });
}

void TfmKisMain0::buildDirectoryMenu() {
    const QList<QAction*> entries = m_directories->actions();
    for (int i = 1; i < entries.size(); ++i) {
        m_directories->removeAction(entries[i]);
        // A sub-menu belongs to the menu, not to its action.
        if (QMenu* sub = entries[i]->menu())
            sub->deleteLater();
        entries[i]->deleteLater();
    }
    const DirectoryMenuModel menu = m_controller->readDirectoryMenu();
    if (!menu.names.isEmpty()) {
        QMenu* independent = m_directories->addMenu(QStringLiteral("Независимые объекты"));
        independent->setObjectName(QStringLiteral("miIndependent"));
        QList<QAction*> directories;
        for (int i = 0; i < menu.names.size(); ++i) {
            directories << new QAction(menu.names[i], independent);
            const QString caption = menu.names[i];
            connect(directories.last(), &QAction::triggered, this, [this, i, caption] {
                TfmKisAgr0::run(m_dm, m_prompter, i + 1, caption, this);
            });
        }
        MenuColumns::addTo(independent, directories, menu.columnBreaks);
    }
    if (menu.objectsEnabled) {
        QAction* objects = item(m_directories, menu.objectsCaption);
        const QString caption = menu.objectsCaption;
        connect(objects, &QAction::triggered, this, [this, caption] { showObjects(caption); });
    }
}

void TfmKisMain0::showComposition() {
    if (!m_controller->mayChangeComposition())
        return;
    const TfmKisObj0::Outcome outcome = TfmKisObj0::run(m_dm, m_prompter, this);
    RollbackQuietly(m_dm.dbMain);
    RollbackQuietly(m_dm.dbTab);
    if (outcome.objectsLayoutChanged || outcome.directoriesAdded)
        delete m_objects.data();
    if (outcome.directoriesAdded) {
        // The schema changed: every statement is prepared again on fresh connections.
        try {
            for (DbConnection* c : {&m_dm.dbMain, &m_dm.dbTab})
                m_dm.reconnect(*c, c->database(), c->password(), c->userName());
        } catch (const std::exception& e) {
            m_prompter.error(
                QStringLiteral("Не удалось заново соединиться с базой данных\r\n\r\n") +
                ExceptionMessage(e));
        }
        if (!m_dm.CloseAllQueries()) {
            close();
            return;
        }
        enterTree();
        m_tree->engine().BuildOutline();
    }
    try {
        buildDirectoryMenu();
    } catch (const std::exception& e) {
        m_prompter.error(QStringLiteral("Не удалось прочитать список справочников\r\n\r\n") +
                         ExceptionMessage(e));
    }
}

void TfmKisMain0::showObjects(const QString& caption) {
    if (!m_objects)
        m_objects = new TfmKisElm0(m_dm, m_prompter, caption, this);
    m_objects->setWindowTitle(caption);
    m_objects->showModal();
}

void TfmKisMain0::showPeriods() {
    if (m_controller->mayChangePeriods())
        TfmPeriod::run(m_dm, m_prompter, this);
}

void TfmKisMain0::showRights() {
    if (m_controller->mayEditRights())
        TfmIBRights::run(m_dm, m_prompter, this);
}

void TfmKisMain0::showAbout() {
    m_prompter.info(AboutText(m_dm), QStringLiteral("О программе"));
}

void TfmKisMain0::applyConnectionState() {
    m_rights->setEnabled(m_controller->mayEditRights());
    m_userMain->setText(m_controller->changeUserCaption());
    m_userTab->setVisible(m_controller->bothConnected());
}

void TfmKisMain0::switchDatabase(int tag) {
    const bool switched = m_controller->switchDatabase(tag);
    applyConnectionState();
    if (tag == 1) {
        // The held keys belong to the table materials left behind.
        if (switched)
            m_copyPaste->clear();
        enterTree();
        trvMaster->setFocus();
    }
    // Another fact database has its own aggregation directories and settings.
    if (switched && tag == 0 && m_dm.dbMain.connected()) {
        try {
            buildDirectoryMenu();
        } catch (const std::exception& e) {
            m_prompter.error(QStringLiteral("Не удалось прочитать список справочников\r\n\r\n") +
                             ExceptionMessage(e));
        }
    }
    m_viewSbrPassword->setEnabled(m_controller->mayViewPasswords());
    m_viewCatPassword->setEnabled(m_controller->mayViewPasswords());
}

void TfmKisMain0::changeUser(int tag) {
    if (!m_controller->changeUser(tag)) {
        close();
        return;
    }
    applyConnectionState();
    m_viewSbrPassword->setEnabled(m_controller->mayViewPasswords());
    m_viewCatPassword->setEnabled(m_controller->mayViewPasswords());
}

void TfmKisMain0::writeHtmlIndex() {
    const OutlineNode* node = m_tree->tree().current();
    if (!node || m_controller->mode() != CollectionsController::Mode::Collections)
        return;
    const QString chosen = m_prompter.saveFileName(QStringLiteral("Создание HTML-файла"), QString(),
                                                   QStringLiteral("Файлы HTML (*.htm)"));
    if (chosen.isEmpty())
        return;
    HtmlExport::writeCollectionIndex(m_dm, m_prompter, m_tree->engine().keyOf(node),
                                     node->text().trimmed(), HtmlExport::withHtmExtension(chosen));
}
