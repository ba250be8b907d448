#pragma once

// What the table editor is doing: normal work or one of the identification modes.
// Only one mode is active at a time.
enum class IdentMode {
    Normal,
    Title,      // "Идентификация заголовка"
    Header,     // "Идентификация шапки"
    Side,       // "Идентификация боковика"
    HiddenRows, // "Отметка скрытых строк"
    HiddenCols, // "Отметка скрытых колонок"
};
