#pragma once

#include <QIcon>
#include <string>

namespace nomaro {

// The icon for an icon theme name, with the desktop style's own pictures where the theme has
// none; drawn ghosted for hidden items and with an arrow for links. Cached per variant.
QIcon shellIcon(const std::string &iconName, bool ghosted, bool link);

} // namespace nomaro
