#include "DbError.h"

DbError::DbError(const QString& message, int sqlCode, QString className)
    : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode),
      m_className(std::move(className)) {}

QString ExceptionClassName(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->className();
    return QStringLiteral("Exception");
}

QString ExceptionMessage(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->message();
    return QString::fromLocal8Bit(e.what());
}
