#pragma once

#include <QString>

#include <stdexcept>

// A failure reported by the database server or the client library. Carries the
// server's own text, which the rights and other error tests look into.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, int sqlCode = 0,
                     QString className = QStringLiteral("EDatabaseError"));

    const QString& message() const { return m_message; }
    int sqlCode() const { return m_sqlCode; }
    // Shown in front of the message in the system's error boxes.
    const QString& className() const { return m_className; }

private:
    QString m_message;
    int m_sqlCode;
    QString m_className;
};

// Class name and text of any exception, as the error boxes show them.
QString ExceptionClassName(const std::exception& e);
QString ExceptionMessage(const std::exception& e);
