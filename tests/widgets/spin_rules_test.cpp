#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/beep.h"
#include "rules_support.h"
#include "widgets/spin_rules.h"

namespace nomaro {
namespace {

using test::kItalian;

// A field with limits and the spin rules over it, stepping on a clock the test moves.
struct Spin
{
    Spin(Extended min, Extended max, Extended value)
        : rules(kItalian)
    {
        rules.setMaxValue(max);
        rules.setMinValue(min);
        rules.setValue(value);
        spin.setTickSource([this] { return now; });
    }

    // A step as the field runs it: a refused step ends in the correction to the limits.
    void step(bool up, StepSource source = StepSource::Button)
    {
        if ((up ? spin.StepUp(rules, source) : spin.StepDown(rules, source)) == StepResult::InvalidEntry)
            rules.correctToLimits();
    }

    Extended value() const { return rules.value(); }

    NumEditRules rules;
    SpinRules spin;
    std::int64_t now = 1'000'000;
};

TEST(SpinRules, incremAtItsLimitsBeepsAndStays)
{
    Spin increm(1, 100, 100);
    int beeps = platform::beepCount();
    increm.step(true);
    EXPECT_EQ(increm.value(), 100);
    EXPECT_EQ(platform::beepCount() - beeps, 1);

    increm.rules.setValue(1);
    increm.now += 1000;
    beeps = platform::beepCount();
    increm.step(false);
    EXPECT_EQ(increm.value(), 1);
    EXPECT_EQ(platform::beepCount() - beeps, 1);
}

TEST(SpinRules, wrapContinuesFromTheOtherLimit)
{
    Spin field(1, 100, 100);
    field.spin.setWrap(true);
    field.step(true);
    EXPECT_EQ(field.value(), 1);
    field.now += 1000;
    field.step(false);
    EXPECT_EQ(field.value(), 100);
}

TEST(SpinRules, holdingTheUpButtonOfStartfromAcceleratesAndStopsAt9999)
{
    Spin startfrom(0, 9999, 0);
    std::vector<Extended> steps;
    const int beeps = platform::beepCount();
    Extended previous = 0;
    startfrom.now += 400; // the first repeated step, 400 ms after the press
    for (int i = 0; i < 1000 && platform::beepCount() == beeps; ++i) {
        startfrom.step(true);
        steps.push_back(startfrom.value() - previous);
        previous = startfrom.value();
        startfrom.now += 100;
    }
    ASSERT_GE(steps.size(), 20u);
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(steps[i], 1) << "step " << i + 1;
    EXPECT_EQ(steps[6], 2) << "the sixth rapid step in a row";
    EXPECT_EQ(steps[7], 2);
    EXPECT_EQ(steps[8], 3);
    EXPECT_EQ(startfrom.value(), 9999);
    EXPECT_EQ(platform::beepCount() - beeps, 1);
    EXPECT_EQ(steps.back(), 0) << "the last step beeps and leaves 9999";
    EXPECT_NE(std::find(steps.begin() + 20, steps.end(), 1), steps.end()) << "near the top the step falls back to 1";
}

TEST(SpinRules, theAcceleratedStepOfStartfromEndsAt2000)
{
    Spin startfrom(0, 9999, 0);
    startfrom.spin.setWrap(true); // wrapping lets the step keep growing to its bound
    Extended largest = 0;
    for (int i = 0; i < 6000; ++i) {
        startfrom.step(true);
        largest = std::max(largest, startfrom.spin.currentStep());
        startfrom.now += 100;
    }
    EXPECT_EQ(largest, 2000);
}

TEST(SpinRules, aPauseOrAKeyReleaseEndsTheAcceleration)
{
    Spin field(0, 9999, 0);
    for (int i = 0; i < 10; ++i) {
        field.step(true, StepSource::Key);
        field.now += 50;
    }
    EXPECT_GT(field.spin.currentStep(), 1);
    field.spin.resetStep();
    EXPECT_EQ(field.spin.currentStep(), 1);
    EXPECT_EQ(field.spin.repeatCount(), 0);

    for (int i = 0; i < 10; ++i) {
        field.step(true, StepSource::Key);
        field.now += 50;
    }
    field.now += 201;
    const Extended before = field.value();
    field.step(true, StepSource::Key);
    EXPECT_EQ(field.value() - before, 1);
}

TEST(SpinRules, withoutLimitsThereIsNoAcceleration)
{
    Spin field(0, 0, 0);
    for (int i = 0; i < 20; ++i) {
        field.step(true);
        field.now += 10;
    }
    EXPECT_EQ(field.value(), 20);
}

TEST(SpinRules, roundValueTakesAHalfToTheEvenNeighbour)
{
    Spin field(0, 0, 2.5);
    EXPECT_TRUE(field.spin.roundsOnExit(field.rules)) << "no limits: rounding even with RoundValues off";
    field.spin.RoundValue(field.rules);
    EXPECT_EQ(field.value(), 2);
    field.rules.setValue(3.5);
    field.spin.RoundValue(field.rules);
    EXPECT_EQ(field.value(), 4);
}

TEST(SpinRules, roundValuesPutsTheValueOnTheIncrementGridFromMinValue)
{
    Spin field(1, 100, 12);
    field.spin.setRoundValues(true);
    field.spin.setIncrement(5, field.rules);
    EXPECT_EQ(field.value(), 11);

    field.rules.setValue(99);
    field.spin.RoundValue(field.rules);
    EXPECT_EQ(field.value(), 96) << "101 lies beyond the limit, so one increment comes off";

    field.rules.setValue(12);
    EXPECT_TRUE(field.spin.roundsOnExit(field.rules));
    field.spin.setRoundValues(false);
    EXPECT_FALSE(field.spin.roundsOnExit(field.rules));
}

TEST(SpinRules, anIncrementLargerThanTheLimitsSpanIsIgnored)
{
    Spin field(1, 100, 1);
    field.spin.setIncrement(100, field.rules);
    EXPECT_EQ(field.spin.increment(), 1);
    field.spin.setIncrement(99, field.rules);
    EXPECT_EQ(field.spin.increment(), 99);
    EXPECT_EQ(field.spin.currentStep(), 99);
}

TEST(SpinRules, aReadOnlyFieldRefusesTheButtonsWithABeep)
{
    Spin field(1, 100, 5);
    field.rules.setReadOnly(true);
    const int beeps = platform::beepCount();
    EXPECT_EQ(field.spin.StepUp(field.rules, StepSource::Button), StepResult::Refused);
    EXPECT_EQ(field.value(), 5);
    EXPECT_EQ(platform::beepCount() - beeps, 1);
}

} // namespace
} // namespace nomaro
