#pragma once
// Small builders shared by the main window's panels: toolbars whose buttons
// carry their control names, and the program's own pictures.
#include <QIcon>
#include <QString>

class QToolBar;
class QToolButton;
class QWidget;

namespace korvo::kernel {

// The picture `name` ("execute", "folder_open" ...) from the program's
// resources (":/icons/<name>.png"), or from the folder set below.
QIcon korvoIcon(const QString& name);
// Reads the pictures from a folder instead of the resources (for a program
// that was linked without them, such as the test drivers).
void setIconFolder(const QString& folder);

// A horizontal toolbar named `name`, not movable, with small pictures.
QToolBar* makeToolBar(const QString& name, QWidget* parent);
// Appends a tool button named `name` showing the picture `icon`.
QToolButton* addToolButton(QToolBar* bar, const QString& name, const QString& icon);

}  // namespace korvo::kernel
