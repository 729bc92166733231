#pragma once

#include <QAbstractButton>
#include <QTimer>

#include "widgets/numedit.h"
#include "widgets/spin_rules.h"

namespace nomaro {

// One arrow button of a spin field.
class SpinButton : public QAbstractButton
{
    Q_OBJECT

public:
    SpinButton(Qt::ArrowType arrow, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::ArrowType m_arrow;
};

// A NumEdit with up and down arrow buttons inside its right edge and the Up and Down keys, which
// step the value by Increment, with wrapping, rounding to the increment grid and acceleration
// while steps follow each other quickly. The mouse cursor set on the field is inherited by its
// buttons, so both show the same.
class SuperSpin : public NumEdit
{
    Q_OBJECT

public:
    explicit SuperSpin(QWidget *parent = nullptr);

    double Increment() const;
    void setIncrement(double increment);
    bool Wrap() const { return m_spin.wrap(); }
    void setWrap(bool wrap) { m_spin.setWrap(wrap); }
    bool RoundValues() const { return m_spin.roundValues(); }
    void setRoundValues(bool roundValues) { m_spin.setRoundValues(roundValues); }
    // Off: the text cannot be typed, cut or pasted; only the steps change the value.
    bool EditorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool enabled) { m_editorEnabled = enabled; }

    void StepUp();
    void StepDown();
    void RoundValue();

    // The clock of the acceleration; tests replace it.
    void setTickSource(SpinRules::TickSource ticks) { m_spin.setTickSource(std::move(ticks)); }
    double currentStep() const { return static_cast<double>(m_spin.currentStep()); }

    SpinButton *upButton() const { return m_up; }
    SpinButton *downButton() const { return m_down; }

protected:
    bool acceptsTyping() override;
    bool allowsCutPaste() const override;
    void beforeExit() override;

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void step(bool up, StepSource source);
    void buttonPressed(bool up);
    void repeatStep();
    void layoutButtons();
    void applyMinimumHeight();

    SpinRules m_spin;
    bool m_editorEnabled = true;
    SpinButton *m_up = nullptr;
    SpinButton *m_down = nullptr;
    QTimer m_repeat;
    bool m_repeatUp = true;
    bool m_repeated = false;
};

} // namespace nomaro
