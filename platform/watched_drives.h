#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace nomaro::platform {

// Whether a network mount answers: statfs on its mount point, asked on a thread of its own and
// given up after `timeoutMs` (a server that does not answer would hold the caller otherwise).
bool answersWithin(const std::string &mountPoint, int timeoutMs);

using NetworkProbe = std::function<bool(const std::string &mountPoint)>;

// The drives whose roots the folder tree watches: fixed and RAM drives, and network drives in
// working order (`probe`, by default answering within 1 s; all of them asked at once); never
// removable or optical ones. In the order given.
std::vector<Drive> watchedDrives(const std::vector<Drive> &drives, const NetworkProbe &probe = {});

} // namespace nomaro::platform
