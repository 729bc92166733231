#include "widgets/messages_text.h"

#include <QTextBoundaryFinder>

namespace nomaro {
namespace {

constexpr QChar BreakOpportunity(0x200B);

} // namespace

BreakableText::BreakableText(const QString &text, const std::function<bool(QStringView run)> &tooWide)
    : m_original(text)
{
    m_shown.reserve(text.size());
    const auto appendRun = [&](qsizetype start, qsizetype end) {
        const QString run = text.mid(start, end - start);
        if (!tooWide(run)) {
            m_shown += run;
            m_inserted.insert(m_inserted.end(), run.size(), false);
            return;
        }
        // Between grapheme clusters only, so that no accent is parted from its letter and no
        // surrogate pair is split.
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, run);
        qsizetype from = 0;
        for (qsizetype to = graphemes.toNextBoundary(); to != -1; to = graphemes.toNextBoundary()) {
            if (from > 0) {
                m_shown += BreakOpportunity;
                m_inserted.push_back(true);
            }
            m_shown += run.mid(from, to - from);
            m_inserted.insert(m_inserted.end(), to - from, false);
            from = to;
        }
    };

    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace())
            continue;
        if (i > runStart)
            appendRun(runStart, i);
        if (i < text.size()) {
            m_shown += text.at(i);
            m_inserted.push_back(false);
        }
        runStart = i + 1;
    }
}

QString BreakableText::restored(const QString &copied) const
{
    if (m_shown == m_original || copied.isEmpty())
        return copied;
    if (copied.contains(m_shown))
        return QString(copied).replace(m_shown, m_original);
    const qsizetype at = m_shown.indexOf(copied);
    if (at < 0)
        return copied;
    QString result;
    result.reserve(copied.size());
    for (qsizetype i = at; i < at + copied.size(); ++i) {
        if (!m_inserted[static_cast<std::size_t>(i)])
            result += m_shown.at(i);
    }
    return result;
}

} // namespace nomaro
