#include "MedstatControl.h"

#include "CodePages.h"
#include "ConditionCompiler.h"
#include "ConditionEvaluator.h"
#include "DbfError.h"
#include "DbfTable.h"
#include "Prompter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

MedstatControl::MedstatControl(const QString& folder, Prompter& prompter)
    : m_folder(folder), m_prompter(prompter) {}

QString MedstatControl::file(const QString& name) const {
    return QDir(m_folder).filePath(name);
}

QString MedstatControl::errFile() const {
    return file(QStringLiteral("err.txt"));
}

bool MedstatControl::open() {
    for (const char* name : {"USLOV.DBF", "POKAZ.DBF", "MEDCTAT.DBF"}) {
        const QString n = QString::fromLatin1(name);
        if (!QFile::exists(file(n)) && !QFile::exists(file(n.toLower()))) {
            m_prompter.error(QStringLiteral("Файл %1 не найден.").arg(n));
            return false;
        }
    }
    auto existing = [&](const QString& n) {
        return QFile::exists(file(n)) ? file(n) : file(n.toLower());
    };
    try {
        DbfTable uslov = DbfTable::open(existing(QStringLiteral("USLOV.DBF")), DbfText::Raw);
        const int nf = uslov.fieldByName(QStringLiteral("NF"));
        const int vr = uslov.fieldByName(QStringLiteral("VR"));
        const int us1 = uslov.fieldByName(QStringLiteral("US1"));
        const int us2 = uslov.fieldByName(QStringLiteral("US2"));
        for (bool more = uslov.first(); more; more = uslov.next())
            m_kinds.append({uslov.text(nf), uslov.text(vr), uslov.text(us1), uslov.text(us2)});
        // Character-code order of the captions; equal captions keep file order.
        std::stable_sort(m_kinds.begin(), m_kinds.end(),
                         [](const ControlKind& a, const ControlKind& b) {
                             return EncodeText(CodePage::Win1251, a.form) <
                                    EncodeText(CodePage::Win1251, b.form);
                         });

        DbfTable pokaz = DbfTable::open(existing(QStringLiteral("POKAZ.DBF")));
        const int a1 = pokaz.fieldByName(QStringLiteral("A1"));
        const int a2 = pokaz.fieldByName(QStringLiteral("A2"));
        for (bool more = pokaz.first(); more; more = pokaz.next()) {
            CompiledCondition c;
            c.id = pokaz.text(a1);
            c.group = c.id.left(2).trimmed().toInt();
            c.number = c.id.mid(2, 6).trimmed().toInt();
            const QString text = pokaz.text(a2);
            try {
                c.condition = CompileCondition(text);
            } catch (const ConditionError& e) {
                m_prompter.error(e.message() + QStringLiteral("Условие %1 (позиция %2): %3")
                                                   .arg(c.id.trimmed())
                                                   .arg(e.position())
                                                   .arg(text));
                break;
            }
            m_conditions.push_back(std::move(c));
        }

        DbfTable report = DbfTable::open(existing(QStringLiteral("MEDCTAT.DBF")));
        m_report.load(report);
    } catch (const DbfError& e) {
        m_prompter.error(e.message());
        return false;
    }
    return true;
}

bool MedstatControl::readYear(const QString& text, QString& shown, int& code) {
    const QString t = text.trimmed();
    bool ok = false;
    t.toInt(&ok);
    if (!ok)
        return false;
    QString yy;
    if (t.size() == 1) {
        yy = QStringLiteral("0") + t;
        shown = QStringLiteral("200") + t;
    } else if (t.size() == 2) {
        yy = t;
        shown = (t.toInt() > 19 ? QStringLiteral("19") : QStringLiteral("20")) + t;
    } else if (t.size() == 4) {
        yy = t.mid(2, 2);
        shown = t;
    } else {
        return false;
    }
    code = yy.toInt(&ok);
    return ok;
}

MedstatControl::Outcome MedstatControl::run(const QString& object, const QString& year,
                                            const QString& objectName, const QList<int>& ticked) {
    if (object.trimmed().isEmpty()) {
        m_prompter.plain(QStringLiteral("Не задан объект"));
        return Outcome::NotRun;
    }
    if (year.trimmed().isEmpty()) {
        m_prompter.plain(QStringLiteral("Не задан год"));
        return Outcome::NotRun;
    }
    QString shown;
    int yearCode = 0;
    if (!readYear(year, shown, yearCode)) {
        m_prompter.error(QStringLiteral("Год \"%1\" не читается: контроль не выполнен").arg(year));
        return Outcome::NotRun;
    }
    bool okObject = false;
    const int objectCode = object.trimmed().toInt(&okObject);
    if (!okObject) {
        m_prompter.error(
            QStringLiteral("Код объекта \"%1\" не читается: контроль не выполнен").arg(object));
        return Outcome::NotRun;
    }
    if (ticked.isEmpty()) {
        m_prompter.plain(QStringLiteral("Не выбран вид контроля"));
        return Outcome::NotRun;
    }
    m_protocol = {QStringLiteral("Ведомость контроля:"),
                  QStringLiteral("Наименование объекта: ") + objectName,
                  QStringLiteral("Год: ") + shown, QString()};
    const ConditionEvaluator eval(m_report, objectCode, yearCode);
    for (int k : ticked) {
        if (k < 0 || k >= m_kinds.size())
            continue;
        const ControlKind& kind = m_kinds[k];
        const int g1 = kind.first.left(2).trimmed().toInt();
        const int g2 = kind.last.left(2).trimmed().toInt();
        const int n1 = kind.first.mid(2, 6).trimmed().toInt();
        const int n2 = kind.last.mid(2, 6).trimmed().toInt();
        bool any = false;
        for (const CompiledCondition& c : m_conditions) {
            if (c.group < g1 || c.group > g2 || c.number < n1 || c.number > n2)
                continue;
            any = true;
            try {
                const QString lines = eval.failures(c.condition);
                if (!lines.isEmpty())
                    m_protocol.append(lines);
            } catch (const OperandFailure& e) {
                m_protocol.append(e.text());
            }
        }
        if (!any)
            m_protocol.append(QStringLiteral("Пустой список условий."));
    }
    // A protocol of an earlier run must never pass for this one's.
    QFile::remove(errFile());
    if (m_protocol.size() <= 4) {
        m_prompter.info(QStringLiteral("Ошибок не найдено."));
        return Outcome::NoErrors;
    }
    QSaveFile out(errFile());
    const QByteArray bytes = EncodeText(CodePage::Win1251, m_protocol.join(QStringLiteral("\r\n")) +
                                                               QStringLiteral("\r\n"));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        m_prompter.error(QStringLiteral("Не удалось записать файл ") + errFile() +
                         QStringLiteral("\r\n") + out.errorString());
        return Outcome::NotRun;
    }
    return Outcome::Errors;
}

bool MedstatControl::lastProtocolExists() {
    if (QFile::exists(errFile()))
        return true;
    m_prompter.error(QStringLiteral("Файл ") + errFile() +
                     QStringLiteral(" с сообщениями об ошибках не найден!"));
    return false;
}
