#include "app/controls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include "app/icons.h"
#include "app/palette_follower.h"
#include "app/theme_colours.h"

namespace nomaro::controls {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QLabel *label(QWidget *parent, const char *name, const char *caption, int x, int y)
{
    auto *control = named(new QLabel(text(caption), parent), name);
    control->move(x, y);
    control->adjustSize();
    return control;
}

QLineEdit *edit(QWidget *parent, const char *name, const QRect &place, const char *initial)
{
    auto *control = named(new QLineEdit(text(initial), parent), name);
    control->setGeometry(place);
    return control;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const char *caption, int x, int y,
                    bool checked)
{
    auto *control = named(new QCheckBox(text(caption), parent), name);
    control->setChecked(checked);
    control->move(x, y);
    control->adjustSize();
    return control;
}

QRadioButton *radio(QWidget *parent, QButtonGroup *group, const char *name, const char *caption,
                    int x, int y, bool checked)
{
    auto *control = named(new QRadioButton(text(caption), parent), name);
    group->addButton(control);
    control->setChecked(checked);
    control->move(x, y);
    control->adjustSize();
    return control;
}

// Group boxes draw their caption on the frame line, so that controls placed just below the top
// edge stand inside the frame. The sheet is set on the outermost boxes alone: a sheet on the window
// would put every control of it through the style sheet machinery, a fifth of start-up.
// The list options' captions are navy, or what reads in its place on a dark palette.
namespace {
QString groupBoxStyle(const QPalette &palette)
{
    return QStringLiteral(R"(
QGroupBox { border: 1px solid #a0a0a0; border-radius: 2px; margin-top: 6px; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 1px; }
QGroupBox#GroupBox3::title, QGroupBox#GroupBox7::title, QGroupBox#GroupBox6::title { color: %1; }
)").arg(theme::groupCaptionColour(palette).name());
}
} // namespace

QGroupBox *groupBox(QWidget *parent, const char *name, const char *caption)
{
    auto *box = named(new QGroupBox(text(caption), parent), name);
    // Setting the sheet again also hands the new palette down to the controls under it, which
    // would otherwise keep the colours of the theme the program started with.
    if (!qobject_cast<QGroupBox *>(parent))
        followPalette(box, [](QWidget *outer, const QPalette &palette) {
            outer->setStyleSheet(groupBoxStyle(palette));
        }, parent);
    return box;
}

QToolButton *pictureButton(QWidget *parent, const char *name, const char *picture,
                           const char *caption, const char *toolTip)
{
    auto *control = named(new QToolButton(parent), name);
    followPalette(control, [picture = QLatin1String(picture)](QWidget *button, const QPalette &palette) {
        static_cast<QToolButton *>(button)->setIcon(pictureIcon(picture, palette));
    });
    control->setAutoRaise(false);
    control->setIconSize(QSize(20, 20));
    if (caption) {
        control->setText(text(caption));
        control->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    } else {
        control->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    if (toolTip)
        control->setToolTip(text(toolTip));
    return control;
}

void boldCaption(QGroupBox *box, const QFont &ordinary)
{
    QFont captionFont = ordinary;
    captionFont.setBold(true);
    box->setFont(captionFont);
    for (QWidget *child : box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!qobject_cast<QGroupBox *>(child))
            child->setFont(ordinary);
}

QTableView *reportView(QWidget *parent, const char *name, QAbstractItemModel *model,
                       QAbstractItemView::SelectionMode selection)
{
    auto *view = named(new QTableView(parent), name);
    view->setModel(model);
    view->setShowGrid(true);
    view->setSelectionMode(selection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setVisible(false);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setHighlightSections(false);
    view->setWordWrap(false);
    view->setTabKeyNavigation(false);
    return view;
}

void fitColumnsToCaptions(QTableView *view, std::initializer_list<int> designed)
{
    QHeaderView *header = view->horizontalHeader();
    int column = 0;
    for (const int width : designed) {
        view->setColumnWidth(column, qMax(width, header->sectionSizeHint(column)));
        ++column;
    }
}

QWidget *page(const char *name)
{
    auto *widget = new QWidget;
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace nomaro::controls
