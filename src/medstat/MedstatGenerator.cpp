#include "MedstatGenerator.h"

#include "DbError.h"
#include "DbfError.h"
#include "DbfFolder.h"
#include "DbfTable.h"
#include "Prompter.h"
#include "TdmMSSQL.h"
#include "io/NativeFormat.h"
#include "model/Workbook.h"

#include <QDir>
#include <QFile>

QString FindMedstatFile(const QString& folder, const QString& name) {
    const QStringList found =
        QDir(folder).entryList(QStringList{name}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& f : found)
        if (f.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(folder).filePath(f);
    return {};
}

QString CollectionIdentifier(TdmMSSQL& dm, int collection) {
    DbStatement& q = dm.dbTab.statement(QStringLiteral("quMedstatSbr"));
    try {
        q.setSql(QStringLiteral("SELECT NAMEID FROM SBR WHERE KODFOLDER = :KODFOLDER"));
        q.setParam(QStringLiteral("KODFOLDER"), collection);
        q.open();
        const QString id = q.isEmpty() ? QString() : q.value(0).toString().trimmed();
        q.close();
        return id;
    } catch (const DbError&) {
        q.close();
        return {};
    }
}

MedstatGenerator::MedstatGenerator(TdmMSSQL& dm, Prompter& prompter, const QString& folder)
    : m_dm(dm), m_prompter(prompter), m_folder(folder) {}

QList<MedstatTable> MedstatGenerator::readTables(int collection) {
    QList<MedstatTable> tables;
    DbStatement& cat = m_dm.query(QStringLiteral("quCAT"));
    cat.close();
    cat.setParam(QStringLiteral("KODFOLDER"), collection);
    cat.open();
    for (cat.first(); !cat.eof(); cat.next())
        tables.append({cat.value(QStringLiteral("KODELMT")).toInt(),
                       cat.value(QStringLiteral("NAMEFOLDER")).toString(),
                       cat.value(QStringLiteral("KODALT")).toString()});
    return tables;
}

bool MedstatGenerator::prepareHeader(const QString& path) {
    const QString ntx = FindMedstatFile(m_folder, QStringLiteral("MEDCTAT.ntx"));
    if (!ntx.isEmpty() && !QFile::remove(ntx))
        m_prompter.error(QStringLiteral("Ошибка при удалении файла MEDCTAT.NTX"));
    // No production index is to be looked for.
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || f.size() < 32 || !f.seek(28) || f.write("\0", 1) != 1 ||
        !f.flush()) {
        m_prompter.error(f.error() == QFileDevice::NoError
                             ? QStringLiteral("Файл %1 повреждён: нет заголовка").arg(path)
                             : f.errorString());
        return false;
    }
    return true;
}

bool MedstatGenerator::loadWorkbook(const MedstatTable& table, Workbook& book) {
    QByteArray bytes;
    QString why;
    try {
        DbStatement& q = m_dm.query(QStringLiteral("quGetTABCat"));
        q.setParam(QStringLiteral("P_KODELMT"), table.kodElmt);
        q.open();
        if (!q.isEmpty())
            bytes = q.value(QStringLiteral("TABF1")).toByteArray();
        q.close();
    } catch (const DbError& e) {
        why = e.message();
    }
    if (why.isEmpty() && bytes.isEmpty())
        why = QStringLiteral("книга таблицы не сохранена");
    if (why.isEmpty() && NativeFormat::load(book, bytes, &why) && book.sheetCount() >= 3)
        return true;
    if (why.isEmpty())
        why = QStringLiteral("в книге меньше трех листов");
    m_prompter.error(QStringLiteral("Таблица \"%1\" не записана в файл: %2").arg(table.name, why));
    return false;
}

bool MedstatGenerator::run(int collection, const QString& collectionId, MedstatParams& params,
                           const Dialog& dialog) {
    m_protocol.clear();
    m_records = 0;
    QList<MedstatTable> tables;
    try {
        tables = readTables(collection);
    } catch (const DbError& e) {
        m_prompter.error(QStringLiteral("Ошибка при чтении списка таблиц\r\n") + e.message());
        return false;
    }
    const QString path = FindMedstatFile(m_folder, QStringLiteral("MEDCTAT.DBF"));
    if (path.isEmpty()) {
        m_prompter.plain(QStringLiteral("Файл \"MEDCTAT.DBF\" не найден!"));
        return false;
    }
    if (!prepareHeader(path))
        return false;
    params.form = collectionId;
    if (!dialog(params))
        return false;
    if (m_prompter.ask(QStringLiteral("Очистить MEDCTAT.DBF?"), QuestionButtons::YesNo, Answer::Yes,
                       Prompter::confirmationCaption()) == Answer::Yes) {
        try {
            DbfFolder::DeleteAll(path);
        } catch (const DbfError&) {
            m_prompter.error(QStringLiteral("Ошибка при очистке таблицы"));
        }
    }
    std::optional<DbfTable> file;
    try {
        file = DbfTable::open(path);
        MedstatWriter writer(*file, params);
        bool stopped = false;
        for (const MedstatTable& t : tables) {
            if (t.kodAlt.trimmed().isEmpty())
                continue;
            Workbook book;
            if (!loadWorkbook(t, book))
                continue;
            if (!writer.write(book, t)) {
                m_prompter.plain(QStringLiteral("Отчет для объекта \"") + params.objectName +
                                 QStringLiteral("\" не найден"));
                stopped = true;
                break;
            }
        }
        file->save();
        m_records = writer.records();
        m_protocol = writer.protocol();
        if (!writer.bigNumbers().isEmpty())
            m_prompter.error(QStringLiteral("Слишком большое вещественное число в заголовке, "
                                            "графы не записаны:\r\n") +
                             writer.bigNumbers().join(QStringLiteral("\r\n")));
        return !stopped;
    } catch (const DbfError& e) {
        m_prompter.error(e.message());
        return false;
    }
}
