#pragma once

#include <QIcon>

namespace nomaro {

// A button picture from the program's own resources ("<name>.argb"), with its own look for the
// disabled state where one exists ("<name>_disabled.argb").
QIcon pictureIcon(const QString &name);

// The program icon of the main window and the filter dialog.
QIcon programIcon();

} // namespace nomaro
