#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nomaro::platform {

enum class DriveType { Fixed, Removable, Optical, Ram, Network };

// A mounted file system that the user would call a drive.
struct Drive
{
    std::string mountPoint; // "/" or a path without a trailing "/"
    std::string fsType;
    std::string source;     // the mounted device, e.g. "/dev/sdb1"
    DriveType type = DriveType::Fixed;
};

// Parses the text of /proc/self/mountinfo into drives, in mount order, leaving out pseudo file
// systems and system mounts. A mount point mounted over again keeps only its last mount.
// `homeFolder` tells which RAM file systems belong to the user.
std::vector<Drive> parseMountInfo(std::string_view text, std::string_view homeFolder);

// The drives mounted now; empty when the mount table cannot be read. Safe from any thread. The
// table is read and parsed again only after the kernel has flagged a change to it, so asking
// while nothing changed costs a poll and a copy.
std::vector<Drive> mountedDrives();

// Whether calls on the drive may wait on something outside this machine's kernel: a network
// server, or the process of a user-space (FUSE) file system. Such a drive may never answer.
bool mayHang(const Drive &drive);

// The drive whose mount point is the longest prefix of `path`; nullptr when none is.
const Drive *driveOf(const std::vector<Drive> &drives, std::string_view path);

// The volume label of a drive's device from /dev/disk/by-label, or empty.
std::string volumeLabel(const Drive &drive);

} // namespace nomaro::platform
