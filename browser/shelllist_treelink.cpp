// The folder list's side of its link with a folder tree.

#include "browser/shelllist.h"

namespace nomaro {

void ShellList::flushPendingRefresh()
{
    if (m_refreshPending)
        Refresh();
}

} // namespace nomaro
