#include "platform/version.h"

namespace nomaro::platform {

FileVersion programVersion()
{
    return {NOMARO_VERSION_MAJOR, NOMARO_VERSION_MINOR, NOMARO_VERSION_PATCH, NOMARO_VERSION_TWEAK};
}

} // namespace nomaro::platform
