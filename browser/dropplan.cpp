#include "browser/dropplan.h"

#include <utility>

#include "platform/file_ops.h"
#include "platform/paths.h"

namespace nomaro {
namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

Qt::DropAction actionOf(Qt::KeyboardModifiers modifiers, Qt::DropActions possible)
{
    if ((modifiers & Qt::ShiftModifier) && (possible & Qt::MoveAction))
        return Qt::MoveAction;
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    if (possible & Qt::MoveAction)
        return Qt::MoveAction;
    return Qt::IgnoreAction;
}

} // namespace

DropPlan planDrop(std::vector<std::string> items, std::string folder, Qt::KeyboardModifiers modifiers,
                  Qt::DropActions possible)
{
    DropPlan plan;
    plan.folder = withoutTrailingSlashes(std::move(folder));
    if (plan.folder.empty())
        return plan;
    for (std::string &item : items) {
        item = withoutTrailingSlashes(std::move(item));
        if (platform::isAtOrBelow(plan.folder, item)) {
            plan.items.clear();
            return plan;
        }
        if (!item.empty() && platform::fileops::parentOf(item) != plan.folder)
            plan.items.push_back(std::move(item));
    }
    if (!plan.items.empty())
        plan.action = actionOf(modifiers, possible);
    return plan;
}

} // namespace nomaro
