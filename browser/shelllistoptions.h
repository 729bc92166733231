#pragma once

// The options of the folder list, apart from the widget so that the rows and the listing,
// which know no widget, can read them.

#include <cstdint>

namespace nomaro {

// Options of the folder list; the bit number is the option's value.
enum ShellListOption : int {
    sloAutoFill = 0,
    sloNonFilesystemAncestors = 1,
    sloDesignInteractive = 2,
    sloDefaultKeyHandling = 3,
    sloContextMenus = 4,
    sloDontChangeFolder = 5,
    sloDontGoBelowBase = 6,
    sloDynamicRefresh = 7,
    sloHideFoldersWhenLinkedToTree = 8,
    sloOleDrag = 9,
    sloOleDrop = 10,
    sloFolderContextMenu = 11,
    sloShowHidden = 12,
    sloFilesCanBeFolders = 13,
};

using ShellListOptions = std::uint16_t;

constexpr ShellListOptions optionBit(ShellListOption option)
{
    return static_cast<ShellListOptions>(1u << option);
}

} // namespace nomaro
