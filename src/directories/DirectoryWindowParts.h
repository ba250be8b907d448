#pragma once

#include <QKeySequence>
#include <QStyle>

class QAction;
class QMenu;
class QToolButton;
class QVBoxLayout;
class QWidget;

// The pieces every directory window is built of: the "Операции" menu over the window and
// the flat buttons of its tool panel.
namespace DirectoryWindowParts {

QMenu* operationsMenu(QWidget* window, QVBoxLayout* layout);
QAction* addItem(QMenu* menu, const QString& caption, const QKeySequence& key = {});
QToolButton* addToolButton(QWidget* panel, const QString& hint, QStyle::StandardPixmap pixmap);

} // namespace DirectoryWindowParts
