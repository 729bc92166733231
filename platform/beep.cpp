#include "platform/beep.h"

namespace nomaro::platform {
namespace {
int s_count = 0;
std::function<void()> &sound()
{
    static std::function<void()> s_sound;
    return s_sound;
}
} // namespace

void beep()
{
    ++s_count;
    if (sound())
        sound()();
}

int beepCount()
{
    return s_count;
}

void setBeepSound(std::function<void()> newSound)
{
    sound() = std::move(newSound);
}

} // namespace nomaro::platform
