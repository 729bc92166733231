#pragma once

#include <QTabBar>
#include <QTabWidget>
#include <QVector>

namespace nomaro {

// A tab bar whose tabs wrap into several rows when they do not fit its width. Each row is
// stretched to the full width, and the row of the current tab stands next to the pages.
class MultiRowTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit MultiRowTabBar(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The place of every tab for a bar of the given width.
    QVector<QRect> tabPlaces(int width) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void tabLayoutChange() override;

private:
    QVector<QVector<int>> rowsFor(int width) const;
    int naturalWidth(int index) const;
    int rowHeight() const;
    int barWidth() const;
};

// A tab widget with a MultiRowTabBar.
class MultiRowTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit MultiRowTabWidget(QWidget *parent = nullptr);
};

} // namespace nomaro
