#pragma once

#include <QObject>
#include <gtest/gtest.h>

namespace nomaro::test {

// The control of a window found by its object name; a missing control fails the test.
template<typename Widget>
Widget *control(const QObject &window, const char *name)
{
    auto *found = window.findChild<Widget *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace nomaro::test
