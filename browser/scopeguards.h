#pragma once

// Guards that the folder list's refreshes and commands hold for one scope, undone on every way
// out, errors included.

#include <QWidget>
#include <utility>

namespace nomaro {

// Disables painting for its lifetime and restores the previous state.
class UpdateBracket
{
public:
    explicit UpdateBracket(QWidget *widget)
        : m_widget(widget)
        , m_wasEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdateBracket() { m_widget->setUpdatesEnabled(m_wasEnabled); }
    UpdateBracket(const UpdateBracket &) = delete;
    UpdateBracket &operator=(const UpdateBracket &) = delete;

private:
    QWidget *m_widget;
    bool m_wasEnabled;
};

// Runs a callable when the scope ends.
template <typename F>
class OnExit
{
public:
    explicit OnExit(F f) : m_f(std::move(f)) {}
    ~OnExit() { m_f(); }
    OnExit(const OnExit &) = delete;
    OnExit &operator=(const OnExit &) = delete;

private:
    F m_f;
};

} // namespace nomaro
