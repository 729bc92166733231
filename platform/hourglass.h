#pragma once

namespace nomaro::platform {

// Shows the hourglass for its lifetime and restores the previous cursor on every way out.
class HourglassGuard
{
public:
    HourglassGuard();
    ~HourglassGuard();
    HourglassGuard(const HourglassGuard &) = delete;
    HourglassGuard &operator=(const HourglassGuard &) = delete;

private:
    bool m_active;
};

} // namespace nomaro::platform
