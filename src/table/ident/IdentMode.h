#pragma once

// What the table editor is doing: normal work, one of the identification modes or the
// view of the formulas over rows or columns.
// Only one mode is active at a time.
enum class IdentMode {
    Normal,
    Title,       // "Идентификация заголовка"
    Header,      // "Идентификация шапки"
    Side,        // "Идентификация боковика"
    HiddenRows,  // "Отметка скрытых строк"
    HiddenCols,  // "Отметка скрытых колонок"
    RowFormulas, // "Формулы над строками": the row identification sheet shows them
    ColFormulas, // "Формулы над колонками"
};
