#pragma once

#include <QString>

// The questions filling and storing ask. Whoever answers them without a person (the
// batch prompter) recognises them by these names, so a question worded anew is still
// the question it was.
namespace ExchangeQuestions {

inline QString fillAllSheets() {
    return QStringLiteral("Заполнить все листы ?");
}
inline QString storeAllSheets() {
    return QStringLiteral("Загрузить все листы ?");
}
inline QString storeEmptyCells() {
    return QStringLiteral("Загружать пустые ячейкм ?");
}

} // namespace ExchangeQuestions
