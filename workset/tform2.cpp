#include "workset/tform2.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <array>

namespace nomaro {
namespace {

struct FilterItem
{
    const char *text;
    const char *mask;
};

constexpr std::array<FilterItem, 5> kFilterItems{{
    {"Tutti i files (*.*)", "*.*"},
    {"Films e Clips (*.avi;*.mpg;*.mpeg;*.wmw;*.divx;*.asf;*.ogm) ",
     "*.avi;*.mpg;*.mpeg;*.wmw;*.divx;*.asf;*.ogm"},
    {"Immagini (*.jpg;*.jpeg;*.bmp;*.pcx;*.gif;*.tif;*.tga;*.psp)",
     "*.jpg;*.jpeg;*.bmp;*.pcx;*.gif;*.tif;*.tga;*.psp"},
    {"Eseguibili ( *.exe;*.com;*.bat)", "*.exe;*.com;*.bat"},
    {"Files Archivio ( *.rar;*.zip;*.ace;*.iso)", "*.rar;*.zip;*.ace;*.iso"},
}};

} // namespace

TForm2::TForm2(QWidget *mainWindow)
    : QDialog(mainWindow)
    , Label2(new QLabel(QStringLiteral("Files Filter"), this))
    , FILTRIFILE(new QComboBox(this))
    , FFOK(new QPushButton(QStringLiteral("APPLICA"), this))
    , FFNOOK(new QPushButton(QStringLiteral("Annulla"), this))
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Nomaro - Filtri su files"));
    if (mainWindow)
        setWindowIcon(mainWindow->windowIcon());
    resize(402, 102);
    setModal(true);

    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(5, 10);
    Label2->adjustSize();

    FILTRIFILE->setObjectName(QStringLiteral("FILTRIFILE"));
    FILTRIFILE->setEditable(false);
    for (const FilterItem &item : kFilterItems)
        FILTRIFILE->addItem(QString::fromUtf8(item.text));
    FILTRIFILE->setCurrentIndex(0);
    FILTRIFILE->setGeometry(55, 5, 326, 21);

    FFOK->setObjectName(QStringLiteral("FFOK"));
    FFOK->setGeometry(75, 40, 75, 25);
    // Enter applies the choice; a focused "Annulla" still answers Enter itself.
    FFOK->setDefault(true);
    FFNOOK->setObjectName(QStringLiteral("FFNOOK"));
    FFNOOK->setGeometry(235, 40, 75, 25);

    connect(FFOK, &QPushButton::clicked, this, &TForm2::FFOKClick);
    connect(FFNOOK, &QPushButton::clicked, this, &TForm2::FFNOOKClick);
}

std::string TForm2::fileMaskOf(int itemIndex)
{
    if (itemIndex < 0 || itemIndex >= static_cast<int>(kFilterItems.size()))
        return "*.*";
    return kFilterItems[static_cast<std::size_t>(itemIndex)].mask;
}

void TForm2::FFOKClick()
{
    Q_EMIT fileMaskChosen(fileMaskOf(FILTRIFILE->currentIndex()));
    accept();
}

void TForm2::FFNOOKClick()
{
    reject();
}

void TForm2::showEvent(QShowEvent *event)
{
    if (QWidget *owner = parentWidget()) {
        QRect frame = geometry();
        frame.moveCenter(owner->geometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace nomaro
