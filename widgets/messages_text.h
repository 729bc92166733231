#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <vector>

namespace nomaro {

// A message as a box shows it: a run of characters without white space that is too wide for a
// line (a long file name or path) gets a zero-width space, a break opportunity the line breaker
// takes, between every two of its characters, so that the run wraps instead of being cut. Short
// runs and the words around them stay as they are.
class BreakableText
{
public:
    BreakableText(const QString &text, const std::function<bool(QStringView run)> &tooWide);

    const QString &original() const { return m_original; }
    const QString &shown() const { return m_shown; }

    // A text copied out of the box, back in the message's own characters: the shown text, whole
    // within a longer text (a copy of the box with its caption and buttons) or any part of it
    // alone (a selection). Any other text comes back unchanged.
    QString restored(const QString &copied) const;

private:
    QString m_original;
    QString m_shown;
    std::vector<bool> m_inserted; // per character of m_shown: a break added here
};

} // namespace nomaro
