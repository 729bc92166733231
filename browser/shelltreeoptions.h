#pragma once

#include <QFlags>

namespace nomaro {

// Options of the folder tree, each its own bit (bit 0 is stoAutoFill, and so on in order).
enum ShellTreeOption : int {
    stoAutoFill = 1 << 0,
    stoVirtualFolders = 1 << 1,
    stoDesignInteractive = 1 << 2,
    stoDefaultKeyHandling = 1 << 3,
    stoContextMenus = 1 << 4,
    stoDynamicRefresh = 1 << 5,
    stoIncludeNonFolders = 1 << 6,
    stoOleDrag = 1 << 7,
    stoOleDrop = 1 << 8,
    stoShowHidden = 1 << 9,
};
Q_DECLARE_FLAGS(ShellTreeOptions, ShellTreeOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(ShellTreeOptions)

// The tree's options unless set otherwise.
constexpr ShellTreeOptions kDefaultTreeOptions = stoAutoFill | stoVirtualFolders | stoDefaultKeyHandling | stoContextMenus
    | stoDynamicRefresh | stoOleDrag | stoOleDrop | stoShowHidden;

} // namespace nomaro
