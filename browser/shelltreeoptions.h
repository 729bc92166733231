#pragma once

#include <cstdint>

namespace nomaro {

// Options of the folder tree; the bit number is the option's value.
enum ShellTreeOption : int {
    stoAutoFill = 0,
    stoVirtualFolders = 1,
    stoDesignInteractive = 2,
    stoDefaultKeyHandling = 3,
    stoContextMenus = 4,
    stoDynamicRefresh = 5,
    stoIncludeNonFolders = 6,
    stoOleDrag = 7,
    stoOleDrop = 8,
    stoShowHidden = 9,
};

using ShellTreeOptions = std::uint16_t;

constexpr ShellTreeOptions treeOptionBit(ShellTreeOption option)
{
    return static_cast<ShellTreeOptions>(1u << option);
}

// The tree's options unless set otherwise.
constexpr ShellTreeOptions kDefaultTreeOptions = treeOptionBit(stoAutoFill) | treeOptionBit(stoVirtualFolders)
    | treeOptionBit(stoDefaultKeyHandling) | treeOptionBit(stoContextMenus) | treeOptionBit(stoDynamicRefresh)
    | treeOptionBit(stoOleDrag) | treeOptionBit(stoOleDrop) | treeOptionBit(stoShowHidden);

} // namespace nomaro
