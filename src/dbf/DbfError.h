#pragma once

#include <QString>

#include <stdexcept>

// A dBase file that cannot be read or written, said in the system's words.
class DbfError : public std::runtime_error {
public:
    explicit DbfError(const QString& message);
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// "Файл … повреждён: reason" for a file whose layout does not hold together.
[[noreturn]] void ThrowDamaged(const QString& path, const QString& reason);
