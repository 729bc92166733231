#include "app/palette_follower.h"

#include <QEvent>
#include <QWidget>

namespace nomaro {
namespace {

// Owned by the widget it colours, so that it goes with it. A change of the application's palette
// reaches a widget as ApplicationPaletteChange first, while its own palette is still the old
// one; the PaletteChange that follows once it has taken the new palette is the one to act on.
class PaletteFollower : public QObject
{
public:
    using Apply = std::function<void(QWidget *, const QPalette &)>;

    PaletteFollower(QWidget *widget, Apply apply, QWidget *source)
        : QObject(widget)
        , m_widget(widget)
        , m_source(source)
        , m_apply(std::move(apply))
    {
        source->installEventFilter(this);
        m_apply(m_widget, m_source->palette());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_source && event->type() == QEvent::PaletteChange)
            m_apply(m_widget, m_source->palette());
        return false;
    }

private:
    QWidget *m_widget;
    QWidget *m_source;
    Apply m_apply;
};

} // namespace

void followPalette(QWidget *widget, std::function<void(QWidget *, const QPalette &)> apply, QWidget *source)
{
    new PaletteFollower(widget, std::move(apply), source ? source : widget);
}

} // namespace nomaro
