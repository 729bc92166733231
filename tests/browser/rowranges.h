#pragma once

// The row ranges a model announced: the first and last row of each rowsInserted/rowsRemoved (or
// their about-to signals) caught by a spy, in the order they came.

#include <QList>
#include <QSignalSpy>
#include <QVariant>
#include <utility>
#include <vector>

namespace nomaro::test {

using Range = std::pair<int, int>;

inline std::vector<Range> ranges(const QSignalSpy &spy)
{
    std::vector<Range> out;
    for (const QList<QVariant> &call : spy)
        out.emplace_back(call.at(1).toInt(), call.at(2).toInt());
    return out;
}

} // namespace nomaro::test
