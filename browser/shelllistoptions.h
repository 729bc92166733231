#pragma once

// The options of the folder list, apart from the widget so that the rows and the listing,
// which know no widget, can read them.

#include <QFlags>

namespace nomaro {

// Options of the folder list, each its own bit (bit 0 is sloAutoFill, and so on in order).
enum ShellListOption : int {
    sloAutoFill = 1 << 0,
    sloNonFilesystemAncestors = 1 << 1,
    sloDesignInteractive = 1 << 2,
    sloDefaultKeyHandling = 1 << 3,
    sloContextMenus = 1 << 4,
    sloDontChangeFolder = 1 << 5,
    sloDontGoBelowBase = 1 << 6,
    sloDynamicRefresh = 1 << 7,
    sloHideFoldersWhenLinkedToTree = 1 << 8,
    sloOleDrag = 1 << 9,
    sloOleDrop = 1 << 10,
    sloFolderContextMenu = 1 << 11,
    sloShowHidden = 1 << 12,
    sloFilesCanBeFolders = 1 << 13,
};
Q_DECLARE_FLAGS(ShellListOptions, ShellListOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(ShellListOptions)

} // namespace nomaro
