#include "CollectionsController.h"

#include "ChangeFlags.h"
#include "ColumnWidth.h"
#include "DbError.h"
#include "DbTransaction.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "Helpers.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TablePassword.h"
#include "TdmMSSQL.h"

namespace {

const QString kKodElmt = QStringLiteral("KODELMT");
const QString kIsInUse = QStringLiteral("ISINUSE");
const QString kTableDeleted = QStringLiteral("Выбранная таблица удалена другим пользователем");
const QString kTablesChanged = QStringLiteral("Каталог таблиц изменен другим пользователем");

// Asks through the prompter until the password is typed exactly or cancelled.
class PromptedPassword : public TablePassword {
public:
    PromptedPassword(Prompter& prompter, QString caption, QString label)
        : TablePassword(prompter), m_caption(std::move(caption)), m_label(std::move(label)) {}

protected:
    bool readPassword(QString& typed) override {
        return prompter().inputText(m_caption, m_label, typed);
    }

private:
    QString m_caption;
    QString m_label;
};

QString SbrCaption() {
    return QStringLiteral("Пароль сборника");
}

} // namespace

CollectionsController::CollectionsController(TdmMSSQL& dm, Prompter& prompter,
                                             OutlineEngine<int>& engine,
                                             ElementOperations& elements)
    : m_dm(dm), m_prompter(prompter), m_engine(engine), m_elements(elements) {}

void CollectionsController::enterTree() {
    m_mode = Mode::Collections;
    if (m_elements.rows().isOpen())
        m_elements.rows().close();
}

QString CollectionsController::tablesCaption() const {
    return QStringLiteral("Таблицы сборника ") + QLatin1Char('"') + m_collectionName +
           QLatin1Char('"');
}

QString CollectionsController::tabUser() const {
    return m_dm.dbTab.userName();
}

QString CollectionsController::collectionPassword(int key) {
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quParolSBR"));
    st.setSql(QStringLiteral("SELECT PAROL FROM SBR WHERE KODFOLDER = :KOD_FOLDER"));
    st.setParam(QStringLiteral("KOD_FOLDER"), key);
    st.open();
    const QString parol = st.isEmpty() ? QString() : st.value(0).toString();
    st.close();
    return parol;
}

bool CollectionsController::askPassword(const QString& caption, const QString& label,
                                        const QString& parol) {
    if (!m_reader)
        return PromptedPassword(m_prompter, caption, label).ask(parol);
    return m_reader(caption, label, [this, &parol](const QString& typed) {
        if (typed == parol)
            return true;
        m_prompter.error(QStringLiteral("Неверный пароль"));
        return false;
    });
}

bool CollectionsController::askCollectionPassword(OutlineNode* node) {
    if (!node)
        return false;
    const QString parol = collectionPassword(m_engine.keyOf(node));
    if (IsBlank(parol))
        return true;
    return askPassword(SbrCaption(), QStringLiteral("Введите пароль сборника :"), parol);
}

bool CollectionsController::openCollection() {
    OutlineNode* node = m_engine.tree().current();
    if (!node || node->hasChildren())
        return false;
    if (!m_engine.BeginCommand())
        return false;
    node = m_engine.tree().current();
    if (!node || !askCollectionPassword(node))
        return false;
    m_collection = m_engine.keyOf(node);
    m_collectionName = node->text();
    m_mode = Mode::Tables;
    return true;
}

bool CollectionsController::addCollection() {
    return m_engine.BeginCommand() && m_engine.AddOutlineNode();
}

bool CollectionsController::levelUp() {
    return m_engine.BeginCommand() && askCollectionPassword(m_engine.tree().current()) &&
           m_engine.PromoteNode();
}

bool CollectionsController::levelDown() {
    return m_engine.BeginCommand() && askCollectionPassword(m_engine.tree().current()) &&
           m_engine.DemoteNode();
}

bool CollectionsController::subtreeInUse(OutlineNode* node) {
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quInUseSBR"));
    st.setSql(QStringLiteral("SELECT ISINUSE FROM CAT WHERE KodFolder = :KOD_FOLDER"));
    for (OutlineNode* n : m_engine.tree().subtree(node)) {
        st.setParam(QStringLiteral("KOD_FOLDER"), m_engine.keyOf(n));
        st.open();
        bool used = false;
        for (st.first(); !st.eof() && !used; st.next())
            used = st.value(0).toInt() > 0;
        st.close();
        if (used)
            return true;
    }
    return false;
}

bool CollectionsController::deleteCollection() {
    if (!m_engine.BeginCommand())
        return false;
    OutlineNode* node = m_engine.tree().current();
    if (!node)
        return false;
    if (subtreeInUse(node)) {
        m_prompter.info(QStringLiteral("Сборник занят другими пользователями"));
        return false;
    }
    if (!m_prompter.confirm(QStringLiteral("Вы действительно хотите удалить сборник и все его "
                                           "таблицы ?"),
                            Answer::No))
        return false;
    if (!askCollectionPassword(node))
        return false;
    return m_engine.DeleteOutlineSubtree();
}

bool CollectionsController::addTable() {
    if (m_elements.CheckChange() != 0) {
        m_prompter.info(kTablesChanged);
        return false;
    }
    if (m_elements.AddElement())
        return true;
    if (m_elements.folderDeleted())
        leaveDeletedCollection();
    return false;
}

void CollectionsController::leaveDeletedCollection() {
    enterTree();
    // The deletion flagged this program; the tree is read now, so the flag is spent.
    try {
        m_engine.flags().ClearOwnChangeFlag(m_engine.descriptor().spZero);
        m_engine.BuildOutline();
    } catch (const DbError& e) {
        m_prompter.error(e.message());
    }
}

bool CollectionsController::storeIdentifier(int key, const QString& identifier) {
    const int position = m_engine.arrays().find(key);
    if (position < 0) {
        m_prompter.info(m_elements.descriptor().folderDeleted);
        return false;
    }
    OutlineNode* node = m_engine.tree().at(position);
    const QString old = m_engine.identifierOf(node);
    m_engine.setIdentifier(node, identifier);
    if (m_engine.RenameNode(node, node->text()))
        return true;
    m_engine.setIdentifier(node, old);
    return false;
}

int CollectionsController::identifierWidth() {
    const int width =
        DeclaredColumnWidth(m_dm.dbTab, QStringLiteral("SBR"), QStringLiteral("NAMEID"));
    return width > 0 ? width : 32767;
}

bool CollectionsController::tableNeedsPasswordToOpen() const {
    ElementRowSet& rows = m_elements.rows();
    if (IsBlank(rows.value(QStringLiteral("PAROL")).toString()))
        return false;
    const QVariant scope = rows.value(QStringLiteral("TYPEUSE"));
    // An empty scope guards nothing; 2 guards saving only.
    return !scope.isNull() && !scope.toString().trimmed().isEmpty() && scope.toInt() != 2;
}

bool CollectionsController::askTablePassword() {
    const QString parol = m_elements.rows().value(QStringLiteral("PAROL")).toString();
    return IsBlank(parol) || askPassword(TablePassword::caption(), TablePassword::label(), parol);
}

bool CollectionsController::deleteTable() {
    ElementRowSet& rows = m_elements.rows();
    if (rows.isEmpty() || rows.currentRow() < 0)
        return false;
    const QVariant key = rows.value(kKodElmt);
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quInUseCAT"));
    st.setSql(QStringLiteral("SELECT ISINUSE FROM CAT WHERE KODELMT = ") + key.toString());
    st.open();
    const bool gone = st.isEmpty();
    const int inUse = gone ? 0 : st.value(0).toInt();
    st.close();
    if (gone) {
        m_prompter.info(kTableDeleted);
        rows.open();
        return false;
    }
    if (inUse >= 1) {
        m_prompter.info(QStringLiteral("Таблица занята другим пользователем - удалить нельзя"));
        return false;
    }
    if (!m_prompter.confirm(QStringLiteral("Вы действительно хотите удалить таблицу ?"),
                            Answer::No))
        return false;
    if (m_elements.CheckChange() == 1) {
        m_prompter.info(kTableDeleted);
        return false;
    }
    if (!rows.locate(kKodElmt, key) || !askTablePassword())
        return false;
    return m_elements.DeleteElement();
}

bool CollectionsController::relocate(int key) {
    m_elements.rows().open();
    return m_elements.rows().locate(kKodElmt, key);
}

void CollectionsController::setInUse(int key, int value) {
    DbProcedure& sp = m_dm.storedProc(QStringLiteral("spUpdateUSESlave"));
    sp.clearParams();
    sp.setParam(QStringLiteral("KOD_ELMT"), key);
    sp.setParam(QStringLiteral("IS_INUSE"), value);
    RunInTransaction(m_dm.dbTab, [&] { sp.execute(); });
}

bool CollectionsController::openTable(const std::function<void(int)>& editor) {
    ElementRowSet& rows = m_elements.rows();
    if (rows.isEmpty() || rows.currentRow() < 0)
        return false;
    const int key = rows.value(kKodElmt).toInt();
    if (!relocate(key)) {
        m_prompter.info(kTableDeleted);
        return false;
    }
    if (tableNeedsPasswordToOpen() && !askTablePassword())
        return false;
    try {
        setInUse(key, rows.value(kIsInUse).toInt() + 1);
    } catch (const DbError& e) {
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.info(QStringLiteral("Пользователь ") + tabUser() +
                            QStringLiteral(" лишен доступа к таблицам БД ") +
                            m_dm.dbTab.database() + QStringLiteral("\r\n") +
                            QStringLiteral("Обратитесь к администратору сервера"));
        else
            m_prompter.info(QStringLiteral(
                "Не удалось открыть таблицу\r\nОбратитесь к администратору сервера"));
        return false;
    }
    // The counter must come down however the editor ends.
    try {
        editor(key);
    } catch (...) {
        try {
            if (relocate(key))
                setInUse(key, std::max(0, rows.value(kIsInUse).toInt() - 1));
        } catch (const DbError&) {
        }
        throw;
    }
    try {
        if (relocate(key)) {
            setInUse(key, std::max(0, rows.value(kIsInUse).toInt() - 1));
            relocate(key);
        }
    } catch (const DbError& e) {
        m_prompter.error(e.message());
    }
    return true;
}

bool CollectionsController::releaseTable() {
    ElementRowSet& rows = m_elements.rows();
    if (rows.isEmpty() || rows.currentRow() < 0 || rows.value(kIsInUse).toInt() <= 0)
        return false;
    const int key = rows.value(kKodElmt).toInt();
    try {
        setInUse(key, 0);
        relocate(key);
        return true;
    } catch (const DbError&) {
        relocate(key);
        return false;
    }
}

void CollectionsController::showCollectionPassword() {
    if (tabUser().toUpper() != QLatin1String("SYSDBA") || !m_engine.BeginCommand())
        return;
    OutlineNode* node = m_engine.tree().current();
    if (!node)
        return;
    const QString parol = collectionPassword(m_engine.keyOf(node));
    m_prompter.info(IsBlank(parol) ? QStringLiteral("Пароль не задан")
                                   : QStringLiteral("Пароль : ") + parol);
}

void CollectionsController::showTablePassword() {
    if (tabUser().toUpper() != QLatin1String("SYSDBA"))
        return;
    if (m_elements.CheckChange() != 0) {
        m_prompter.info(kTablesChanged + QStringLiteral(". Повторите..."));
        return;
    }
    if (m_elements.rows().isEmpty())
        return;
    const QString parol = m_elements.rows().value(QStringLiteral("PAROL")).toString();
    m_prompter.info(IsBlank(parol) ? QStringLiteral("Пароль не задан")
                                   : QStringLiteral("Пароль : ") + parol);
}

void CollectionsController::attachGridEditing() {
    ElementRowSet& rows = m_elements.rows();
    rows.setApplier(KeyedUpdateApplier(m_dm.dbTab, QStringLiteral("CAT"), kKodElmt));
    rows.setFailureHandler([this](const std::exception& error) {
        RollbackQuietly(m_dm.dbMain);
        RollbackQuietly(m_dm.dbTab);
        const auto* db = dynamic_cast<const DbError*>(&error);
        if (db && IsRightsError(db->message(), db->sqlCode()))
            m_prompter.info(QStringLiteral("Пользователю ") + tabUser() +
                            QStringLiteral(" корректировка запрещена"));
        else
            m_prompter.error(
                WithServerText(QStringLiteral("Ошибка при корректировке. Повторите..."),
                               db ? db->message() : QString::fromUtf8(error.what())));
    });
}

bool CollectionsController::setCollectionPassword(const QString& parol) {
    OutlineNode* node = m_engine.tree().current();
    if (!node)
        return false;
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quPswdSBR"));
    st.setSql(
        QStringList{QStringLiteral("UPDATE SBR SET PAROL = :PAROL"),
                    QStringLiteral("WHERE KODFOLDER = ") + QString::number(m_engine.keyOf(node))});
    st.clearParams();
    st.setParam(QStringLiteral("PAROL"), parol.isNull() ? QStringLiteral("") : parol);
    try {
        RunInTransaction(m_dm.dbTab, [&] {
            st.execute();
            m_engine.flags().FlagChangeForOthers(m_engine.descriptor().spOne);
        });
    } catch (const DbError& e) {
        m_prompter.message(QStringLiteral("Не удалось задать пароль\r\n\r\n") + e.className() +
                               QStringLiteral("\r\n") + e.message(),
                           QStringLiteral("Сообщение"), PromptIcon::Error);
        return false;
    }
    return true;
}

int CollectionsController::passwordScope(const QString& parol, bool onOpen, bool onSave) {
    if (IsBlank(parol))
        return 1;
    if (onOpen && onSave)
        return 0;
    return onSave ? 2 : 1;
}

bool CollectionsController::setTablePassword(const QString& parol, bool onOpen, bool onSave) {
    ElementRowSet& rows = m_elements.rows();
    if (rows.isEmpty() || rows.currentRow() < 0)
        return false;
    const QVariant key = rows.value(kKodElmt);
    const bool blank = IsBlank(parol);
    DbStatement& st = m_dm.dbTab.statement(QStringLiteral("quPswdCAT"));
    st.setSql(QStringList{QStringLiteral("UPDATE CAT SET PAROL = :PAROL, TYPEUSE = ") +
                              QString::number(passwordScope(parol, onOpen, onSave)),
                          QStringLiteral("WHERE KODELMT = ") + key.toString()});
    st.clearParams();
    st.setParam(QStringLiteral("PAROL"), blank ? QStringLiteral("") : parol);
    try {
        RunInTransaction(m_dm.dbTab, [&] {
            st.execute();
            m_elements.flags().FlagChangeForOthers(m_elements.descriptor().spOne);
        });
    } catch (const DbError& e) {
        m_prompter.error(QStringLiteral("Ошибка при сохранении в БД: \r\n\r\n") + e.message());
        return false;
    }
    relocate(key.toInt());
    return true;
}

bool CollectionsController::enterCollectionPassword() {
    if (!m_engine.BeginCommand())
        return false;
    OutlineNode* node = m_engine.tree().current();
    if (!node || !askCollectionPassword(node))
        return false;
    const QString current = collectionPassword(m_engine.keyOf(node)).trimmed();
    const auto store = [this](const QString& parol) { return setCollectionPassword(parol); };
    if (m_pswdSbr)
        return m_pswdSbr(current, store);
    // Asked again until stored or cancelled, as the dialog stays open.
    for (;;) {
        QString parol = current;
        if (!m_prompter.inputText(SbrCaption(), QStringLiteral("Введите пароль сборника"), parol))
            return false;
        if (store(parol))
            return true;
    }
}

bool CollectionsController::enterTablePassword(const TablePasswordDialog& dialog) {
    ElementRowSet& rows = m_elements.rows();
    if (rows.isEmpty() || rows.currentRow() < 0)
        return false;
    if (m_elements.CheckChange() != 0) {
        m_prompter.info(kTablesChanged + QStringLiteral(". Повторите..."));
        return false;
    }
    if (!askTablePassword())
        return false;
    const QString parol = rows.value(QStringLiteral("PAROL")).toString().trimmed();
    const QVariant scope = rows.value(QStringLiteral("TYPEUSE"));
    const bool empty = scope.isNull() || scope.toString().trimmed().isEmpty();
    const bool onOpen = empty || scope.toInt() == 0 || scope.toInt() == 1;
    const bool onSave = !empty && (scope.toInt() == 0 || scope.toInt() == 2);
    return dialog(parol, onOpen, onSave, [this](const QString& p, bool open, bool save) {
        return setTablePassword(p, open, save);
    });
}
