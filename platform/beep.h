#pragma once

#include <functional>

namespace nomaro::platform {

// The system beep. Every beep of the program goes through here, so that tests can count them.
void beep();

// Number of beeps since the start of the process.
int beepCount();

// The sound itself; the application installs the toolkit's beep, tests may install nothing.
void setBeepSound(std::function<void()> sound);

} // namespace nomaro::platform
