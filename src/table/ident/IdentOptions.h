#pragma once

// The settings of the options dialog "Опции идентификации". The program keeps one set;
// the pickers read it as well as the slot entry.
struct IdentOptions {
    // "Перенос наименования из справочника": "Да" (true) or "Нет".
    bool transferNames = true;
    // " Режим идентификации ": 0 "Поставить", 1 "Дополнить", 2 "Развернуть".
    int identMode = 0;
    // " Видимые параметры ".
    bool showIndicators = true;
    bool showObjects = true;
    bool showPeriods = true;
    // "Показывать опции в каждой операции идентификации".
    bool showEachTime = true;
};

IdentOptions& CurrentIdentOptions();
