#pragma once

#include <QAbstractItemView>
#include <QString>
#include <initializer_list>

class QAbstractItemModel;
class QButtonGroup;
class QCheckBox;
class QFont;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QRect;
class QTableView;
class QToolButton;
class QWidget;

// Builders of the main window's controls, each named as its objectName and set at its designed
// place; texts are given in UTF-8.
namespace nomaro::controls {

QString text(const char *utf8);

template<typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const char *caption, int x, int y);
QLineEdit *edit(QWidget *parent, const char *name, const QRect &place, const char *initial = "");
QCheckBox *checkBox(QWidget *parent, const char *name, const char *caption, int x, int y,
                    bool checked = false);
QRadioButton *radio(QWidget *parent, QButtonGroup *group, const char *name, const char *caption,
                    int x, int y, bool checked = false);
// A group box; the outermost ones carry the style sheet that draws the caption on the frame.
QGroupBox *groupBox(QWidget *parent, const char *name, const char *caption);
// A picture button; with a caption the picture stands beside it.
QToolButton *pictureButton(QWidget *parent, const char *name, const char *picture,
                           const char *caption = nullptr, const char *toolTip = nullptr);
// A group box with a bold caption keeps the ordinary font for its controls.
void boldCaption(QGroupBox *box, const QFont &ordinary);
// A list view in report style: whole rows selected, nothing edited, grid lines, no row numbers.
QTableView *reportView(QWidget *parent, const char *name, QAbstractItemModel *model,
                       QAbstractItemView::SelectionMode selection);
// The designed widths, except that a column whose caption the font makes wider than its design
// is widened to show the caption whole.
void fitColumnsToCaptions(QTableView *view, std::initializer_list<int> designed);
// A tab page, without parent until it is added to its tab control.
QWidget *page(const char *name);

} // namespace nomaro::controls
