#include "DbCreator.h"

#include "DbError.h"
#include "FbClient.h"
#include "FirebirdEnvironment.h"
#include "SqlScript.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <ibase.h>

namespace {

[[noreturn]] void fail(const ISC_STATUS* status, const QString& context) {
    const int code = fb::statusSqlCode(status);
    QString text = fb::statusText(status);
    if (!context.isEmpty())
        text += QStringLiteral("\n") + context;
    throw DbError(text, code);
}

QByteArray quoted(const QString& text) {
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return "'" + q.toUtf8() + "'";
}

bool isRemote(const QString& path) {
    // "host:/path" or "host/port:/path"; a one-letter prefix would be a drive.
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    return colon > 1 && !path.startsWith(QLatin1Char('/'));
}

class Attachment {
public:
    // forcedWrites: 0 or 1 switches the database's forced writes, -1 leaves them.
    Attachment(const QString& path, const DbCreator::Options& options, int forcedWrites) {
        QByteArray dpb;
        dpb += char(isc_dpb_version1);
        auto add = [&dpb](char tag, const QByteArray& value) {
            dpb += tag;
            dpb += char(value.size());
            dpb += value;
        };
        add(char(isc_dpb_user_name), options.user.toUtf8());
        add(char(isc_dpb_password), options.password.toUtf8());
        add(char(isc_dpb_lc_ctype), "UTF8");
        dpb += char(isc_dpb_sql_dialect);
        dpb += char(1);
        dpb += char(3);
        if (forcedWrites >= 0) {
            dpb += char(isc_dpb_force_write);
            dpb += char(1);
            dpb += char(forcedWrites);
        }
        const QByteArray name = path.toUtf8();
        ISC_STATUS_ARRAY status;
        if (isc_attach_database(status, short(name.size()), name.constData(), &m_db,
                                short(dpb.size()), dpb.constData()))
            fail(status, {});
    }
    ~Attachment() {
        ISC_STATUS_ARRAY status;
        if (m_db)
            isc_detach_database(status, &m_db);
    }
    // Deletes the database; the attachment ends with it.
    bool drop() {
        ISC_STATUS_ARRAY status;
        return isc_drop_database(status, &m_db) == 0;
    }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    void execute(const QString& statement) {
        const QByteArray text = statement.toUtf8();
        if (text.size() > 65535)
            throw DbError(QStringLiteral("Слишком длинный оператор SQL:\n") + statement.left(200));
        ISC_STATUS_ARRAY status;
        isc_tr_handle tr = 0;
        if (isc_start_transaction(status, &tr, 1, &m_db, 0, nullptr))
            fail(status, {});
        if (isc_dsql_execute_immediate(status, &m_db, &tr, static_cast<unsigned short>(text.size()),
                                       text.constData(), 3, nullptr)) {
            const QString context = QStringLiteral("Оператор: ") + statement.left(300);
            ISC_STATUS_ARRAY ignored;
            isc_rollback_transaction(ignored, &tr);
            fail(status, context);
        }
        if (isc_commit_transaction(status, &tr)) {
            ISC_STATUS_ARRAY ignored;
            isc_rollback_transaction(ignored, &tr);
            fail(status, QStringLiteral("Оператор: ") + statement.left(300));
        }
    }

private:
    isc_db_handle m_db = 0;
};

} // namespace

void DbCreator::checkTarget(const QString& path) const {
    if (path.trimmed().isEmpty())
        throw DbError(QStringLiteral("Не задан путь к файлу БД"));
    if (!isRemote(path)) {
        if (QFileInfo::exists(path))
            throw DbError(QStringLiteral("Файл %1 уже существует").arg(path));
        return;
    }
    // On a server only an attachment tells whether the database is there.
    PrepareFirebirdEnvironment();
    bool exists = true;
    try {
        Attachment probe(path, m_options, -1);
    } catch (const DbError&) {
        exists = false;
    }
    if (exists)
        throw DbError(QStringLiteral("БД %1 уже существует").arg(path));
}

void DbCreator::dropDatabase(const QString& path) const noexcept {
    try {
        PrepareFirebirdEnvironment();
        Attachment attachment(path, m_options, -1);
        if (attachment.drop())
            return;
    } catch (...) {
    }
    if (!isRemote(path))
        QFile::remove(path);
}

void DbCreator::createDatabase(const QString& path) const {
    PrepareFirebirdEnvironment();
    checkTarget(path);
    const QByteArray sql = "CREATE DATABASE " + quoted(path) + " USER " + quoted(m_options.user) +
                           " PASSWORD " + quoted(m_options.password) +
                           " PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1251";
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, static_cast<unsigned short>(sql.size()),
                                   sql.constData(), 3, nullptr))
        fail(status, {});
    isc_detach_database(status, &db);
}

void DbCreator::runScript(const QString& path, const QString& script) const {
    PrepareFirebirdEnvironment();
    // Every statement commits; syncing the disk on each would make creation slow,
    // so writes are forced only once the script is through.
    {
        Attachment attachment(path, m_options, 0);
        for (const QString& statement : SplitSqlScript(script))
            attachment.execute(statement);
    }
    if (m_options.forcedWrites)
        Attachment(path, m_options, 1);
}

void DbCreator::createFact(const QString& path, bool demo) const {
    createWithScripts(path, QStringLiteral("fact"), demo);
}

void DbCreator::createTab(const QString& path, bool demo) const {
    createWithScripts(path, QStringLiteral("tab"), demo);
}

void DbCreator::createWithScripts(const QString& path, const QString& script, bool demo) const {
    createDatabase(path);
    try {
        runScript(path, builtInScript(script));
        if (demo)
            runScript(path, builtInScript(QStringLiteral("demo_") + script));
    } catch (...) {
        dropDatabase(path);
        throw;
    }
}

void DbCreator::createPair(const QString& factPath, const QString& tabPath, bool demo) const {
    checkTarget(factPath);
    checkTarget(tabPath);
    const bool local = !isRemote(factPath) && !isRemote(tabPath);
    if (local ? QFileInfo(factPath).absoluteFilePath() == QFileInfo(tabPath).absoluteFilePath()
              : factPath == tabPath)
        throw DbError(QStringLiteral("Обе БД заданы одним файлом %1").arg(factPath));
    createFact(factPath, demo);
    try {
        createTab(tabPath, demo);
    } catch (...) {
        dropDatabase(factPath);
        throw;
    }
}

QString DbCreator::builtInScript(const QString& name) {
    QFile file(QStringLiteral(":/db/%1.sql").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Нет сценария SQL %1").arg(name));
    return QString::fromUtf8(file.readAll());
}

QByteArray DbCreator::scriptsDigest() {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const char* name : {"fact", "tab", "demo_fact", "demo_tab"}) {
        QFile file(QStringLiteral(":/db/%1.sql").arg(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result().toHex().left(16);
}
