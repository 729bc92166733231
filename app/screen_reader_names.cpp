#include "app/screen_reader_names.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QTabWidget>

#include "widgets/superspin.h"

namespace nomaro {
namespace {

// The caption of an edit field: the controls whose texts, read in this order, say what the field
// holds. Where a caption is a label, the label is linked to the field as well, so that a reader
// can go from one to the other.
struct FieldCaption
{
    const char *field;
    const char *captions[3];
};

const FieldCaption kFieldCaptions[] = {
    {"BASENAME", {"Label1"}},
    {"SCU", {"SC4"}},
    {"STARTFROM", {"Label5"}},
    {"INCREM", {"Label6"}},
    {"CERCA", {"Label2"}},
    {"SOSTI", {"Label3"}},
    {"ESTEN", {"Label4"}},
    {"CARLIST", {"Label7", "Label8", "Label10"}},
    {"EDCERCACAR", {"Label13"}},
    {"EDSOSTCAR", {"Label14"}},
    {"EDMARKDIR", {"MARKDIR"}},
    {"EDSEP", {"RBSEPALTRO"}},
    {"LISTADOC", {"GroupBox8"}},
};

// The example under the caption of CARLIST.
constexpr const char *kCarlistExample = "Label9";

struct ViewName
{
    const char *view;
    const char *name;
};

const ViewName kViewNames[] = {
    {"STV1", "Albero delle cartelle"},
    {"SLV1", "Contenuto della cartella"},
    {"LISTANOMI", "Lista Files"},
    {"LISTAREN", "Anteprima dei nomi nuovi"},
};

// The designed captions carry blanks for their look ("  Numerazione  ", "Es:    A,1,DivX...");
// a reader speaks the words alone.
QString spokenText(const QWidget *control)
{
    QString text;
    if (const auto *label = qobject_cast<const QLabel *>(control))
        text = label->text();
    else if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        text = button->text();
    else if (const auto *box = qobject_cast<const QGroupBox *>(control))
        text = box->title();
    return text.simplified();
}

void nameEditFields(QWidget &window)
{
    for (const FieldCaption &entry : kFieldCaptions) {
        auto *field = window.findChild<QWidget *>(QLatin1String(entry.field));
        if (!field)
            continue;
        QStringList words;
        for (const char *captionName : entry.captions) {
            if (!captionName)
                break;
            auto *caption = window.findChild<QWidget *>(QLatin1String(captionName));
            if (!caption)
                continue;
            words << spokenText(caption);
            if (auto *label = qobject_cast<QLabel *>(caption))
                label->setBuddy(field);
        }
        field->setAccessibleName(words.join(QLatin1Char(' ')));
    }
    auto *carlist = window.findChild<QWidget *>(QStringLiteral("CARLIST"));
    auto *example = window.findChild<QWidget *>(QLatin1String(kCarlistExample));
    if (carlist && example)
        carlist->setAccessibleDescription(spokenText(example));
}

// A picture button without caption speaks its tool tip, which says what it does.
void namePictureButtons(QWidget &window)
{
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        if (button->text().isEmpty() && button->accessibleName().isEmpty())
            button->setAccessibleName(button->toolTip());
}

// Qt names a group box inside another after the outer box's title; each speaks its own.
void nameGroupBoxes(QWidget &window)
{
    for (QGroupBox *box : window.findChildren<QGroupBox *>())
        box->setAccessibleName(spokenText(box));
}

void nameSpinButtons(QWidget &window)
{
    for (SuperSpin *spin : window.findChildren<SuperSpin *>()) {
        spin->upButton()->setAccessibleName(QStringLiteral("Aumenta"));
        spin->downButton()->setAccessibleName(QStringLiteral("Diminuisci"));
    }
}

void nameViews(QWidget &window)
{
    for (const ViewName &entry : kViewNames)
        if (auto *view = window.findChild<QWidget *>(QLatin1String(entry.view)))
            view->setAccessibleName(QString::fromUtf8(entry.name));
}

// A tab control is named after the page it shows, and renamed at each change of page, which
// tells a reader that the page changed.
void nameTabControls(QWidget &window)
{
    for (QTabWidget *tabs : window.findChildren<QTabWidget *>()) {
        const auto follow = [tabs](int index) { tabs->setAccessibleName(tabs->tabText(index)); };
        follow(tabs->currentIndex());
        QObject::connect(tabs, &QTabWidget::currentChanged, tabs, follow);
    }
}

// Qt reports a top-level plain QWidget as a client area, which the desktop's accessibility bus
// shows as "filler": readers then do not announce it as a window.
QAccessibleInterface *topLevelAsWindow(const QString &className, QObject *object)
{
    if (className != QLatin1String("QWidget") || !object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    return widget->isWindow() ? new QAccessibleWidget(widget, QAccessible::Window) : nullptr;
}

} // namespace

void nameForScreenReaders(QWidget &window)
{
    static const bool installed = [] {
        QAccessible::installFactory(topLevelAsWindow);
        return true;
    }();
    (void)installed;
    namePictureButtons(window);
    nameSpinButtons(window);
    nameEditFields(window);
    nameGroupBoxes(window);
    nameViews(window);
    nameTabControls(window);
}

} // namespace nomaro
