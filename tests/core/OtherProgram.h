#pragma once

#include "TestDatabases.h"

#include <QProcess>

// The second program: zemrak-shared-db-helper on one of the databases, asked
// one line at a time.
class OtherProgram {
public:
    explicit OtherProgram(const QString& database, const QProcessEnvironment& env =
                                                       QProcessEnvironment::systemEnvironment()) {
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(ZEMRAK_SHARED_HELPER),
                        {database, TestDatabases::user(), TestDatabases::password()});
        m_greeting = readLine();
    }
    ~OtherProgram() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(20000))
            m_process.kill();
    }
    const QString& greeting() const { return m_greeting; }
    QString ask(const QString& line) {
        m_process.write(line.toUtf8() + '\n');
        return readLine();
    }

private:
    QString readLine() {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(30000))
                return QStringLiteral("(no answer) ") +
                       QString::fromLocal8Bit(m_process.readAllStandardError());
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    QString m_greeting;
};
