#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "widgets/numedit_rules.h"

namespace nomaro {

enum class StepSource { Key, Button };

enum class StepResult {
    Stepped,
    Refused,      // a spin button of a read-only field: beeped, nothing changed
    InvalidEntry, // beyond a limit: the owner runs its invalid-entry handling
};

// The stepping of a spin field over the value of its editing rules: increment, wrapping,
// rounding to the increment grid and the acceleration while steps follow each other quickly.
class SpinRules
{
public:
    // Milliseconds of a steady clock; tests replace it.
    using TickSource = std::function<std::int64_t()>;

    SpinRules();

    Extended increment() const { return m_increment; }
    // Ignored when unchanged or, with limits, larger than their span; rounds at once with
    // RoundValues on.
    void setIncrement(Extended increment, NumEditRules &rules);
    bool wrap() const { return m_wrap; }
    void setWrap(bool wrap) { m_wrap = wrap; }
    bool roundValues() const { return m_roundValues; }
    void setRoundValues(bool roundValues) { m_roundValues = roundValues; }

    Extended currentStep() const { return m_step; }
    int repeatCount() const { return m_repeatCount; }
    void setTickSource(TickSource ticks) { m_ticks = std::move(ticks); }

    StepResult StepUp(NumEditRules &rules, StepSource source);
    StepResult StepDown(NumEditRules &rules, StepSource source);
    // The value onto the grid MinValue + k x Increment, a half going to the even k.
    void RoundValue(NumEditRules &rules) const;
    // A key release: acceleration by keyboard lasts only while a key is held.
    void resetStep();
    // Whether leaving the field rounds the value first.
    bool roundsOnExit(const NumEditRules &rules) const;

private:
    bool accelerate(NumEditRules &rules, StepSource source);
    StepResult finish(NumEditRules &rules, Extended value);

    Extended m_increment = 1;
    Extended m_step = 1;
    int m_repeatCount = 0;
    std::optional<std::int64_t> m_lastStep;
    bool m_wrap = false;
    bool m_roundValues = false;
    TickSource m_ticks;
};

} // namespace nomaro
