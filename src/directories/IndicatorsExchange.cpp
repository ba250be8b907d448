// A rubric written to a dBase file and a dBase file read in as a new rubric.
#include "DbfSavePath.h"
#include "IndicatorsController.h"

#include "ColumnWidth.h"
#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "DbfError.h"
#include "DbfTable.h"
#include "ElementOperations.h"
#include "ElementRowSet.h"
#include "Helpers.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <QFileInfo>

#include <climits>

namespace {

const QStringList kFileFields{QStringLiteral("NAMEFOLDER"), QStringLiteral("KODELMT"),
                              QStringLiteral("KODALT"), QStringLiteral("EIZ")};

QList<DbfField> fileFields() {
    return ParseFieldList({QStringLiteral("NameFolder;C;150;0"), QStringLiteral("KodElmt;N;8;0"),
                           QStringLiteral("KodAlt;C;20;0"), QStringLiteral("Eiz;C;12;0")});
}

bool isUniqueViolation(const QString& message) {
    const QString upper = message.toUpper();
    return upper.contains(QLatin1String("PRIMARY")) || upper.contains(QLatin1String("UNIQUE"));
}

struct ImportRecord {
    QString name;
    int code = 0;
    QString alt;
    QString eiz;
};

} // namespace

bool IndicatorsController::exportRubric() {
    OutlineNode* node = m_engine.tree().current();
    if (m_engine.tree().isEmpty() || !node) {
        m_prompter.error(QStringLiteral("Справочник разделов пуст"));
        return false;
    }
    std::vector<ImportRecord> rows;
    try {
        DbStatement& st = m_dm.dbMain.statement(QStringLiteral("quExportPOK"));
        st.setSql(QStringLiteral("SELECT NAMEFOLDER, KODELMT, KODALT, EIZ FROM POK "
                                 "WHERE KODFOLDER = :KODFOLDER ORDER BY NPP"));
        st.setParam(QStringLiteral("KODFOLDER"), m_engine.keyOf(node));
        st.open();
        for (st.first(); !st.eof(); st.next())
            rows.push_back({st.value(0).toString(), st.value(1).toInt(), st.value(2).toString(),
                            st.value(3).toString()});
        st.close();
    } catch (const DbError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при сохранении. Повторите..."), e.message()));
        return false;
    }
    if (rows.empty()) {
        m_prompter.error(QStringLiteral("В выбранном разделе нет показателей"));
        return false;
    }
    const QString path = AskDbfSavePath(m_prompter, QStringLiteral("Экспорт показателей"));
    if (path.isEmpty())
        return false;
    // Answering no leaves the existing file as it is.
    if (QFileInfo::exists(path) &&
        m_prompter.ask(QStringLiteral("Файл \"") + QFileInfo(path).fileName() +
                           QStringLiteral("\" уже существует. Заменить его?"),
                       QuestionButtons::OkCancel, Answer::Cancel,
                       Prompter::confirmationCaption()) != Answer::Ok)
        return false;
    try {
        DbfTable t = DbfTable::create(path, fileFields());
        t.append();
        t.setText(0, node->text());
        for (const ImportRecord& r : rows) {
            t.append();
            t.setText(0, r.name);
            t.setNumber(1, r.code);
            t.setText(2, r.alt);
            t.setText(3, r.eiz);
        }
        t.save();
        TellCutTexts(m_prompter, t);
    } catch (const DbfError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при сохранении. Повторите..."), e.message()));
        return false;
    }
    return true;
}

bool IndicatorsController::importRubric() {
    m_protocol.clear();
    if (!m_engine.BeginCommand())
        return false;
    const QString path = m_prompter.openFileName(QStringLiteral("Импорт показателей"), QString(),
                                                 QStringLiteral("Файлы dBase : *.dbf|*.dbf"));
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path)) {
        m_prompter.error(QStringLiteral("Импортируемый файл не найден"));
        return false;
    }
    std::vector<ImportRecord> records;
    QString rubricName = QStringLiteral("Импортированный сборник");
    int fileMax = 0;
    try {
        DbfTable t = DbfTable::open(path);
        if (!SameFieldNames(t.header().fields, kFileFields)) {
            m_prompter.error(QStringLiteral("Файл не содержит справочник показателей"));
            return false;
        }
        if (t.isEmpty()) {
            m_prompter.info(QStringLiteral("Загружаемый справочник пуст"));
            return false;
        }
        bool firstRecord = true;
        for (t.first(); !t.eof(); t.next()) {
            const ImportRecord r{t.text(0), int(qBound<qint64>(0, t.integer(1), qint64(INT_MAX))),
                                 t.text(2), t.text(3)};
            if (firstRecord && r.code == 0) {
                rubricName = r.name;
            } else {
                records.push_back(r);
                fileMax = qMax(fileMax, r.code);
            }
            firstRecord = false;
        }
    } catch (const DbfError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при открытии. Повторите..."), e.message()));
        return false;
    }

    const int step = m_engine.state().nppStep;
    const int total = int(records.size());
    auto progress = [this](int done, int all) {
        if (m_progress)
            m_progress(done, all);
    };
    int rubric = 0;
    bool insertFailed = false;
    try {
        DbTransaction transaction(m_dm.dbMain);
        DbStatement& lastNpp = m_dm.dbMain.statement(QStringLiteral("quLastNppRUB"));
        lastNpp.setSql(QStringLiteral("SELECT MAX(NPP) FROM RUB"));
        lastNpp.open();
        const int npp =
            lastNpp.isEmpty() || lastNpp.value(0).isNull() ? step : lastNpp.value(0).toInt() + step;
        lastNpp.close();
        DbProcedure& rub = m_dm.storedProc(QStringLiteral("spInsertRUB"));
        rub.clearParams();
        rub.setParam(QStringLiteral("NPP"), npp);
        const int width =
            DeclaredColumnWidth(m_dm.dbMain, QStringLiteral("RUB"), QStringLiteral("NAMEFOLDER"));
        rub.setParam(QStringLiteral("NAMEFOLDER"), width > 0 ? rubricName.left(width) : rubricName);
        rub.setParam(QStringLiteral("NLEVEL"), 1);
        rub.execute();
        rubric = rub.output(QStringLiteral("KOD_FOLDER")).toInt();
        progress(0, total);
        if (fileMax >= maxCode())
            setGenerator(fileMax + 1);

        DbStatement& insert = m_dm.dbMain.statement(QStringLiteral("quImportPOK"));
        insert.setSql(QStringList{
            QStringLiteral("INSERT INTO POK (NAMEFOLDER,KODFOLDER,NPP,KODALT,EIZ,KODELMT)"),
            QStringLiteral("VALUES (:NAMEFOLDER,:KODFOLDER,:NPP,:KODALT,:EIZ,:KODELMT)")});
        const int nameWidth = 34;
        int done = 0;
        for (const ImportRecord& r : records) {
            const int rowNpp = (done + 1) * step;
            const bool blankAlt = IsBlank(r.alt);
            auto tryInsert = [&](int code) {
                insert.clearParams();
                insert.setParam(QStringLiteral("NAMEFOLDER"), r.name);
                insert.setParam(QStringLiteral("KODFOLDER"), rubric);
                insert.setParam(QStringLiteral("NPP"), rowNpp);
                insert.setParam(QStringLiteral("KODALT"), blankAlt ? QString::number(code) : r.alt);
                insert.setParam(QStringLiteral("EIZ"), r.eiz);
                insert.setParam(QStringLiteral("KODELMT"), code);
                try {
                    insert.execute();
                    return true;
                } catch (const DbError& e) {
                    if (!isUniqueViolation(e.message()))
                        throw;
                    return false;
                }
            };
            if (r.code <= 0 || !tryInsert(r.code)) {
                // Another user may take codes meanwhile: each refused code moves on.
                int code = maxCode() + 1;
                for (int attempt = 0; !tryInsert(code); ++attempt) {
                    if (attempt >= 1000)
                        throw DbError(QStringLiteral("Не удалось подобрать свободный код"));
                    code = qMax(code + 1, maxCode() + 1);
                }
                if (m_protocol.isEmpty())
                    m_protocol = QStringLiteral("Наименование показателя            Код старый  "
                                                "Код новый\r\n") +
                                 QString(57, QLatin1Char('-')) + QStringLiteral("\r\n");
                m_protocol += r.name.left(nameWidth).leftJustified(nameWidth) +
                              QString::number(r.code).rightJustified(11) +
                              QString::number(code).rightJustified(11) + QStringLiteral("\r\n");
            }
            progress(++done, total);
        }
        m_engine.flags().FlagChangeForOthers(m_engine.descriptor().spOne);
        transaction.commit();
    } catch (const DbError& e) {
        insertFailed = true;
        RollbackQuietly(m_dm.dbMain);
        progress(0, 0);
        m_protocol.clear();
        if (IsRightsError(e.message(), e.sqlCode()))
            m_prompter.error(QStringLiteral("Пользователю ") + userName() +
                             QStringLiteral(" импорт запрещен"));
        else
            m_prompter.error(
                WithServerText(QStringLiteral("Ошибка при добавлении. Повторите..."), e.message()));
    }
    if (insertFailed)
        return false;
    if (!m_protocol.isEmpty() && m_showProtocol)
        m_showProtocol(QStringLiteral("Протокол импорта показателей"), m_protocol);
    progress(0, 0);
    try {
        RunInTransaction(m_dm.dbMain, [&] { setGenerator(maxCode() + 3); });
    } catch (const DbError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при установке генератора кодов"), e.message()));
    }
    m_engine.closeDataset();
    m_engine.BuildOutline();
    m_engine.selectKey(rubric);
    return true;
}
