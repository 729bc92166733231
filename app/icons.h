#pragma once

#include <QIcon>

namespace nomaro {

// A button picture from the program's own resources, with its own look for the disabled state
// where one exists (":/icons/<name>.png" and ":/icons/<name>_disabled.png").
QIcon pictureIcon(const QString &name);

// The program icon of the main window and the filter dialog.
QIcon programIcon();

} // namespace nomaro
