#pragma once

class Prompter;
class QWidget;
class TdmMSSQL;
class QString;

// The three commands of the "Медстатистика" panel of the collections window.
namespace MedstatCommands {
// "Файл для Минздрава": the dialog, then the report file of the collection's tables.
void sbFileMZClick(QWidget* parent, TdmMSSQL& dm, Prompter& prompter, int collection);
// "Просмотр файла МЗ": the report file in an editable grid, written back on closing.
void sbViewMZClick(QWidget* parent, Prompter& prompter);
// "Контроль файла МЗ": the control window.
void sbCtrlMZClick(QWidget* parent, Prompter& prompter);
} // namespace MedstatCommands
