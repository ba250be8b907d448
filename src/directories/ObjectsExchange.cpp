// The objects written to a dBase file and appended from one.
#include "DbfSavePath.h"
#include "ObjectsController.h"

#include "DbError.h"
#include "DbStatement.h"
#include "DbTransaction.h"
#include "DbfError.h"
#include "DbfTable.h"
#include "ElementRowSet.h"
#include "Helpers.h"
#include "Prompter.h"
#include "ServerErrors.h"
#include "TdmMSSQL.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct ObjectRecord {
    double code = 0;
    QString name;
    QList<QVariant> kods;
};

bool isObjectsFile(const QList<DbfField>& fields) {
    if (fields.size() < 2 ||
        fields[0].name.compare(QLatin1String("KODFOLDER"), Qt::CaseInsensitive) ||
        fields[1].name.compare(QLatin1String("NAMEFOLDER"), Qt::CaseInsensitive))
        return false;
    for (int i = 2; i < fields.size(); ++i)
        if (fields[i].name.compare(QStringLiteral("KOD%1").arg(i - 1), Qt::CaseInsensitive))
            return false;
    return true;
}

} // namespace

bool ObjectsController::exportObjects() {
    if (m_rows.isEmpty()) {
        m_prompter.info(QStringLiteral("Справочник объектов пуст"));
        return false;
    }
    if (m_filter.isActive() &&
        m_prompter.ask(QStringLiteral("На справочнике действует фильтр. Отменить экспорт ?"),
                       QuestionButtons::YesNo, Answer::Yes,
                       Prompter::confirmationCaption()) == Answer::Yes)
        return false;
    const QString path = AskDbfSavePath(m_prompter, QStringLiteral("Сохранить как внешний файл"));
    if (path.isEmpty())
        return false;
    QStringList fields{QStringLiteral("KodFolder;N;20;4"), QStringLiteral("NameFolder;C;200;0")};
    for (int j = 1; j <= attached().size(); ++j)
        fields << QStringLiteral("Kod%1;N;10;4").arg(j);
    try {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw DbfError(QStringLiteral("Файл занят"));
        DbfTable t = DbfTable::create(path, ParseFieldList(fields));
        for (int r = 0; r < m_rows.count(); ++r) {
            t.append();
            t.setNumber(0, m_rows.value(r, QStringLiteral("KODFOLDER")).toDouble());
            t.setText(1, m_rows.value(r, QStringLiteral("NAMEFOLDER")).toString());
            for (int j = 0; j < attached().size(); ++j) {
                const QVariant kod = m_rows.value(r, QStringLiteral("KOD%1").arg(attached()[j]));
                if (!kod.isNull())
                    t.setNumber(j + 2, kod.toDouble());
            }
        }
        t.save();
        TellCutTexts(m_prompter, t);
    } catch (const DbfError& e) {
        QFile::remove(path);
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при создании файла. Повторите..."), e.message()));
        return false;
    }
    return true;
}

bool ObjectsController::importObjects() {
    if (m_filter.isActive()) {
        m_prompter.error(QStringLiteral("На справочнике действует фильтр\r\nИмпорт запрещен"));
        return false;
    }
    if (!unchanged(true))
        return false;
    const QString path = m_prompter.openFileName(QStringLiteral("Открыть внешний файл"), QString(),
                                                 QStringLiteral("Файлы dBase : *.dbf|*.dbf"));
    if (path.isEmpty())
        return false;
    std::vector<ObjectRecord> records;
    int k = 0;
    try {
        DbfTable t = DbfTable::open(path);
        if (!isObjectsFile(t.header().fields)) {
            m_prompter.error(QStringLiteral("Файл не содержит справочник подчиненных объектов"));
            return false;
        }
        if (t.isEmpty()) {
            m_prompter.info(QStringLiteral("Загружаемый справочник пуст"));
            return false;
        }
        k = qMin(t.fieldCount() - 2, int(attached().size()));
        for (t.first(); !t.eof(); t.next()) {
            ObjectRecord r{t.number(0), t.text(1), {}};
            for (int j = 0; j < k; ++j) {
                const qint64 kod = qint64(t.number(j + 2));
                r.kods << (kod > 0 ? QVariant(double(kod)) : QVariant());
            }
            records.push_back(r);
        }
    } catch (const DbfError& e) {
        m_prompter.error(
            WithServerText(QStringLiteral("Ошибка при открытии. Повторите..."), e.message()));
        return false;
    }

    const QVariant lastBefore = m_rows.isEmpty()
                                    ? QVariant()
                                    : m_rows.value(m_rows.count() - 1, QStringLiteral("KODFOLDER"));
    int lost = 0;
    QString stop;
    const int total = int(records.size());
    progress(0, total);
    try {
        readFull();
        double npp = m_full.empty() ? 0 : m_full.back().npp;
        static const QRegularExpression integ(QStringLiteral("INTEGELM_(\\d{1,2})"));
        int done = 0;
        for (ObjectRecord& r : records) {
            npp += m_state.nppStep;
            const int position = TruncToInt(npp, m_prompter);
            double code = r.code;
            bool recoded = false;
            bool membershipLost = false;
            // Each refusal changes the record (a new code, one membership fewer),
            // so the attempts end.
            for (int attempt = 0;; ++attempt) {
                try {
                    RunInTransaction(m_dm.dbMain,
                                     [&] { insertObject(position, code, r.name, r.kods); });
                    break;
                } catch (const DbError& e) {
                    const QString upper = e.message().toUpper();
                    const auto match = integ.match(e.message());
                    if (IsRightsError(e.message(), e.sqlCode()))
                        throw;
                    if (!recoded && (upper.contains(QLatin1String("PRIMARY")) ||
                                     upper.contains(QLatin1String("UNIQUE KEY")))) {
                        recoded = true;
                        code = maxCode() + 1;
                        continue;
                    }
                    const int j =
                        match.hasMatch() ? attached().indexOf(match.captured(1).toInt()) : -1;
                    if (j < 0 || j >= r.kods.size() || r.kods[j].isNull() || attempt > k + 1)
                        throw;
                    r.kods[j] = QVariant();
                    membershipLost = true;
                }
            }
            lost += membershipLost ? 1 : 0;
            progress(++done, total);
        }
    } catch (const DbError& e) {
        RollbackQuietly(m_dm.dbMain);
        stop = IsRightsError(e.message(), e.sqlCode())
                   ? QStringLiteral("Пользователю ") + userName() +
                         QStringLiteral(" импорт (добавление объектов) запрещен")
                   : WithServerText(QStringLiteral("Ошибка при добавлении. Повторите..."),
                                    e.message());
    }
    progress(0, 0);
    try {
        RunInTransaction(m_dm.dbMain,
                         [&] { m_flags.FlagChangeForOthers(QStringLiteral("spOneUELM")); });
    } catch (const DbError&) {
        // The objects are stored; the others see them at their next change check.
    }
    try {
        reopenAt(lastBefore);
    } catch (const DbError& e) {
        m_prompter.error(e.message());
    }
    if (!stop.isEmpty()) {
        m_prompter.error(stop);
        return false;
    }
    if (lost > 0)
        m_prompter.info(QStringLiteral("Загружено объектов: %1\r\nУ %2 из них не сохранена "
                                       "принадлежность: в справочниках независимых объектов нет "
                                       "указанных кодов")
                            .arg(total)
                            .arg(lost));
    return true;
}
