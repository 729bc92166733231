#pragma once

#include <cerrno>

namespace nomaro::platform {

// Errors after which a call may have been carried out all the same: a network file system that
// lost the server's answer, or a call cut short after the server acted on it. After one of them
// only a look at the disk tells what happened.
inline bool leavesOutcomeOpen(int error)
{
    switch (error) {
    case EIO:
    case EINTR:
    case ENOTCONN:
    case ECONNABORTED:
    case ECONNRESET:
    case ETIMEDOUT:
    case ESTALE:
    case ENETDOWN:
    case ENETRESET:
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ENOLINK:
    case EREMOTEIO:
        return true;
    default:
        return false;
    }
}

} // namespace nomaro::platform
