#include "widgets/spin_rules.h"

#include <chrono>
#include <cmath>

#include "platform/beep.h"

namespace nomaro {
namespace {

constexpr std::int64_t kRapidStepMs = 200;

std::int64_t steadyTicks()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

SpinRules::SpinRules()
    : m_ticks(steadyTicks)
{
}

void SpinRules::setIncrement(Extended increment, NumEditRules &rules)
{
    if (increment == m_increment)
        return;
    if (rules.hasLimits() && increment > rules.maxValue() - rules.minValue())
        return;
    m_increment = increment;
    m_step = increment;
    if (m_roundValues)
        RoundValue(rules);
}

void SpinRules::resetStep()
{
    m_step = m_increment;
    m_repeatCount = 0;
}

bool SpinRules::accelerate(NumEditRules &rules, StepSource source)
{
    if (rules.readOnly() && source == StepSource::Button) {
        platform::beep();
        return false;
    }
    const std::int64_t now = m_ticks();
    if (m_lastStep && now - *m_lastStep <= kRapidStepMs) {
        if (m_step < (rules.maxValue() - rules.minValue()) / 5) {
            ++m_repeatCount;
            if (m_repeatCount > 4 && m_repeatCount % 2 == 0)
                m_step += m_increment;
        }
    } else {
        resetStep();
    }
    m_lastStep = now;
    return true;
}

StepResult SpinRules::finish(NumEditRules &rules, Extended value)
{
    rules.setValue(value);
    if (m_roundValues)
        RoundValue(rules);
    return StepResult::Stepped;
}

StepResult SpinRules::StepUp(NumEditRules &rules, StepSource source)
{
    if (!accelerate(rules, source))
        return StepResult::Refused;
    const Extended v = rules.value();
    const bool limits = rules.hasLimits();
    if (limits && v < rules.minValue())
        return StepResult::InvalidEntry;
    if (!limits || v + m_step <= rules.maxValue())
        return finish(rules, v + m_step);
    if (m_wrap)
        return finish(rules, rules.minValue());
    if (v + m_increment <= rules.maxValue()) {
        m_step = m_increment;
        return finish(rules, v + m_increment);
    }
    return StepResult::InvalidEntry;
}

StepResult SpinRules::StepDown(NumEditRules &rules, StepSource source)
{
    if (!accelerate(rules, source))
        return StepResult::Refused;
    const Extended v = rules.value();
    const bool limits = rules.hasLimits();
    if (limits && v > rules.maxValue())
        return StepResult::InvalidEntry;
    if (!limits || v - m_step >= rules.minValue())
        return finish(rules, v - m_step);
    if (m_wrap)
        return finish(rules, rules.maxValue());
    if (v - m_increment >= rules.minValue()) {
        m_step = m_increment;
        return finish(rules, v - m_increment);
    }
    return StepResult::InvalidEntry;
}

void SpinRules::RoundValue(NumEditRules &rules) const
{
    if (m_increment == 0)
        return;
    const Extended k = std::nearbyint((rules.value() - rules.minValue()) / m_increment);
    Extended value = k * m_increment + rules.minValue();
    if (rules.hasLimits() && value > rules.maxValue())
        value -= m_increment;
    rules.setValue(value);
}

bool SpinRules::roundsOnExit(const NumEditRules &rules) const
{
    if (!rules.hasLimits())
        return true;
    if (!m_roundValues)
        return false;
    const Extended v = rules.value();
    return v >= rules.minValue() && v <= rules.maxValue();
}

} // namespace nomaro
