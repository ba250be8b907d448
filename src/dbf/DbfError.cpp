#include "DbfError.h"

#include <QDir>

DbfError::DbfError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

void ThrowDamaged(const QString& path, const QString& reason) {
    throw DbfError(QStringLiteral("Файл \"%1\" не является файлом dBase или повреждён: %2")
                       .arg(QDir::toNativeSeparators(path), reason));
}
