#pragma once

#include <QString>

// What a read file may bring into a workbook, and the words for what it may not.
namespace ImportLimits {

// A cell's text; longer texts come from damaged or mistaken files.
constexpr int kMaxCellText = 32767;

inline QString tooLongText(const QString& sheet, int row, int col, qsizetype length) {
    return QStringLiteral("Лист \"%1\", строка %2, столбец %3: текст ячейки длиной %4 "
                          "символов, а ячейка вмещает не более %5")
        .arg(sheet)
        .arg(row)
        .arg(col)
        .arg(length)
        .arg(kMaxCellText);
}

inline QString tooLargeSheet(const QString& sheet) {
    return QStringLiteral("Лист \"%1\" больше, чем вмещает таблица (16384 строки, 256 столбцов)")
        .arg(sheet);
}

} // namespace ImportLimits
