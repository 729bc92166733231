#pragma once

// What a drop of files onto a folder does, decided apart from the view that received it, so
// that it can be checked without a drag.

#include <QtCore/qnamespace.h>
#include <string>
#include <vector>

namespace nomaro {

struct DropPlan
{
    std::vector<std::string> items; // what goes into the folder, in the dragged order
    std::string folder;
    Qt::DropAction action = Qt::IgnoreAction; // CopyAction or MoveAction; IgnoreAction refuses

    bool accepted() const { return action != Qt::IgnoreAction; }
    bool moves() const { return action == Qt::MoveAction; }
};

// The drop of `items` into `folder` (empty where nothing may be dropped). It copies, or moves
// with Shift held, as far as the source offers (`possible`). Items already in `folder` are left
// out (dropped where they are, they ask for nothing); refused when nothing is left, or when
// `folder` is one of the items or lies inside one.
DropPlan planDrop(std::vector<std::string> items, std::string folder, Qt::KeyboardModifiers modifiers,
                  Qt::DropActions possible);

} // namespace nomaro
