#pragma once

// The folder components' key table, parsed once from its key names.
//
// How a component uses it: in keyPressEvent, compare
//   QKeyCombination(event->modifiers(), Qt::Key(event->key()))
// with componentKey(ComponentKey::Copy) and the others, swallowing a key that matches; "Del"
// also acts with Shift held.

#include <QKeyCombination>
#include <string_view>

namespace nomaro {

enum class ComponentKey { SelectAll = 0, Delete, Copy, Cut, Paste, Refresh, EditCaption };

// The key of a name such as "Ctrl+A", "^C", "Shift+Alt+F10" or "pgdn", without regard to case:
// any run of the prefixes "Shift+", "Ctrl+" (or "^") and "Alt+", then one key name. An empty
// combination (Qt::Key_unknown) for a name that is not a key.
QKeyCombination parseKeyName(std::string_view name);

// The entry of the table, parsed on first use for the whole process.
QKeyCombination componentKey(ComponentKey key);

} // namespace nomaro
