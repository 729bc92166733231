// The folder list's side of its link with a folder tree.

#include "browser/shelllist.h"

#include "browser/changenoticecoalescer.h"

namespace nomaro {

void ShellList::flushPendingRefresh()
{
    m_coalescer->refreshPendingNow();
}

} // namespace nomaro
