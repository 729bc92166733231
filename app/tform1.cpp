#include "app/tform1.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>

#include "app/anchors.h"
#include "app/controls.h"
#include "app/icons.h"
#include "app/multirow_tabs.h"
#include "app/screen_reader_names.h"
#include "app/splitterbar.h"
#include "browser/folderpanelink.h"
#include "browser/shelllist.h"
#include "browser/shelltree.h"
#include "platform/paths.h"
#include "widgets/superspin.h"
#include "workset/file_table_model.h"
#include "workset/tform2.h"

namespace nomaro {
using namespace controls;

TForm1::TForm1(QWidget *parent)
    : QWidget(parent)
    , m_anchors(new AnchorSet(this))
{
    setObjectName(QStringLiteral("TForm1"));
    setFont(designedFont());
    setWindowTitle(QStringLiteral("Nomaro - Vesk - Ver. "));
    setWindowIcon(programIcon());
    resize(kDesignedClient);

    createStatusBar();
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    m_anchors->place(PageControl1, QRect(0, 0, 752, 516 - kStatusBarHeight), kAllEdges, kDesignedClient);
    createSelectionPage();
    createRenamePage();
    createListingPage();
    for (QWidget *page : {TabSheet1, TabSheet2, TabSheet7})
        page->setMinimumSize(kDesignedPage);
    setMinimumSize(minimumClientSize(QMargins()));
    connectHandlers();
    nameForScreenReaders(*this);

    FormCreate();
}

TForm1::~TForm1() = default;

QFont TForm1::designedFont()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
    QFont designed(QStringLiteral("MS Sans Serif"));
    designed.setPointSize(8);
    return designed;
}

void TForm1::createStatusBar()
{
    StatusBar1 = named(new QWidget(this), "StatusBar1");
    m_anchors->place(StatusBar1, QRect(0, 516 - kStatusBarHeight, 752, kStatusBarHeight),
                     Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge, kDesignedClient);
    auto *row = new QHBoxLayout(StatusBar1);
    row->setContentsMargins(0, 2, 0, 0);
    row->setSpacing(2);
    const char *const starts[4] = {"Files nella cartella : ", "Files Selezionati :",
                                   "Files da Rinominare : ", ""};
    for (int panel = 0; panel < 4; ++panel) {
        auto *label = new QLabel(text(starts[panel]), StatusBar1);
        label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(panel));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setIndent(2);
        label->setTextInteractionFlags(Qt::NoTextInteraction);
        if (panel < 3)
            label->setFixedWidth(150);
        row->addWidget(label, panel < 3 ? 0 : 1);
        StatusPanels[panel] = label;
    }
}

void TForm1::createSelectionPage()
{
    TabSheet1 = page("TabSheet1");
    PageControl1->addTab(TabSheet1, QStringLiteral("Seleziona Files"));

    STV1 = named(new ShellTree(TabSheet1), "STV1");
    STV1->setIndentation(19);
    STV1->setFixedWidth(146);
    SLV1 = named(new ShellList(TabSheet1), "SLV1");
    SLV1->setMultiSelect(true);
    SLV1->setHideSelection(false);
    SLV1->setFixedWidth(320);
    // The tree leads and the list follows; the link lives as long as the page.
    new FolderPaneLink(*STV1, *SLV1, TabSheet1);
    Splitter2 = named(new SplitterBar(STV1, kSplitter2Width, TabSheet1), "Splitter2");
    Splitter1 = named(new SplitterBar(SLV1, kSplitter1Width, TabSheet1), "Splitter1");

    Panel1 = named(new QWidget(TabSheet1), "Panel1");
    Panel1->setFixedWidth(kPanel1Width);
    SBUP1L = pictureButton(Panel1, "SBUP1L", "up_level", nullptr, "Su di un livello di directory");
    SBUP1L->setGeometry(3, 5, 28, 28);
    SBFILTRI = pictureButton(Panel1, "SBFILTRI", "filter", nullptr, "Apri finestra filtri");
    SBFILTRI->setGeometry(3, 35, 28, 28);
    ADDNAMES = pictureButton(Panel1, "ADDNAMES", "add", nullptr, "Aggiungi alla lista files");
    ADDNAMES->setGeometry(4, 75, 28, 28);
    SBREMOVE = pictureButton(Panel1, "SBREMOVE", "remove", nullptr, "Togli dalla lista files");
    SBREMOVE->setGeometry(4, 105, 28, 28);
    SBREMOVE->setEnabled(false);
    CLEARNAMES = pictureButton(Panel1, "CLEARNAMES", "clear", nullptr, "Cancella lista files");
    CLEARNAMES->setGeometry(4, 140, 28, 28);
    CLEARNAMES->setEnabled(false);

    using Content = FileTableModel::Content;
    m_listaNomiModel = new FileTableModel(m_table, {{QStringLiteral("Lista Files"), Content::DisplayName}}, this);
    LISTANOMI = reportView(TabSheet1, "LISTANOMI", m_listaNomiModel,
                           QAbstractItemView::ExtendedSelection);
    LISTANOMI->horizontalHeader()->setStretchLastSection(true);
    LISTANOMI->setMinimumWidth(0);

    auto *row = new QHBoxLayout(TabSheet1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (QWidget *pane : {static_cast<QWidget *>(STV1), static_cast<QWidget *>(Splitter2), static_cast<QWidget *>(SLV1),
                          static_cast<QWidget *>(Splitter1), Panel1})
        row->addWidget(pane);
    row->addWidget(LISTANOMI, 1);
    TabSheet1->installEventFilter(this);
}

void TForm1::createRenamePage()
{
    TabSheet2 = page("TabSheet2");
    PageControl1->addTab(TabSheet2, QStringLiteral("Ordina e Rinomina Files"));

    PageControl2 = named(new MultiRowTabWidget(TabSheet2), "PageControl2");
    PageControl2->setGeometry(0, 5, 221, 300);
    createRulePages();

    SBTRYREN = pictureButton(TabSheet2, "SBTRYREN", "try", "PROVA");
    SBTRYREN->setGeometry(5, 317, 81, 32);
    SBUNDO = pictureButton(TabSheet2, "SBUNDO", "undo");
    SBUNDO->setGeometry(95, 317, 36, 32);
    SBUNDO->setToolTip(QStringLiteral("Annulla i nomi nuovi"));
    SBREN = pictureButton(TabSheet2, "SBREN", "rename", "RINOMINA");
    SBREN->setGeometry(140, 317, 111, 32);

    Panel2 = named(new QWidget(TabSheet2), "Panel2");
    Panel2->setGeometry(225, 80, 36, 101);
    SBUP = pictureButton(Panel2, "SBUP", "row_up", nullptr, "Sposta su");
    SBUP->setGeometry(4, 18, 28, 28);
    SBDOWN = pictureButton(Panel2, "SBDOWN", "row_down", nullptr, "Sposta giù");
    SBDOWN->setGeometry(4, 53, 28, 28);
    for (QToolButton *button : {SBTRYREN, SBUNDO, SBREN, SBUP, SBDOWN})
        button->setEnabled(false);

    using Content = FileTableModel::Content;
    m_listaRenModel = new FileTableModel(m_table,
                                         {{QStringLiteral("Nomi Correnti"), Content::DisplayName},
                                          {QStringLiteral("Nomi Nuovi"), Content::DisplayNewName},
                                          {QStringLiteral("Dim KB"), Content::SizeKB},
                                          {QStringLiteral("Data"), Content::Date},
                                          {QStringLiteral("Est."), Content::Extension},
                                          {QStringLiteral("Path"), Content::Folder}},
                                         this);
    LISTAREN = reportView(TabSheet2, "LISTAREN", m_listaRenModel, QAbstractItemView::SingleSelection);
    LISTAREN->horizontalHeader()->setSectionsClickable(true);
    LISTAREN->horizontalHeader()->setStretchLastSection(false);
    m_anchors->place(LISTAREN, QRect(265, 0, 479, 471), kAllEdges, kDesignedPage);
    fitColumnsToCaptions(LISTAREN, {140, 140, 60, 80, 40, 150});
}

void TForm1::createRulePages()
{
    // "Sequenziale"
    TabSheet3 = page("TabSheet3");
    PageControl2->addTab(TabSheet3, QStringLiteral("Sequenziale"));
    label(TabSheet3, "Label1", "Nome Base", 5, 15);
    BASENAME = edit(TabSheet3, "BASENAME", QRect(65, 10, 126, 21));
    auto *GroupBox4 = groupBox(TabSheet3, "GroupBox4", "  Carattere di separazione  ");
    GroupBox4->setGeometry(15, 45, 186, 76);
    auto *separators = new QButtonGroup(GroupBox4);
    SC1 = radio(GroupBox4, separators, "SC1", "_ (A_B)", 10, 14, true);
    SC2 = radio(GroupBox4, separators, "SC2", "- (A-B)", 10, 39);
    SC3 = radio(GroupBox4, separators, "SC3", "space (A B)", 85, 14);
    SC4 = radio(GroupBox4, separators, "SC4", "User", 85, 39);
    SCU = edit(GroupBox4, "SCU", QRect(135, 37, 26, 21));
    auto *GroupBox5 = groupBox(TabSheet3, "GroupBox5", "  Numerazione  ");
    GroupBox5->setGeometry(15, 125, 186, 81);
    auto *digits = new QButtonGroup(GroupBox5);
    ED1 = radio(GroupBox5, digits, "ED1", "_01", 10, 15, true);
    ED2 = radio(GroupBox5, digits, "ED2", "_001", 10, 34);
    ED3 = radio(GroupBox5, digits, "ED3", "_0001", 10, 54);
    label(GroupBox5, "Label5", "Parti da", 75, 15);
    // The start number and the step of the numbering: whole numbers within their limits.
    const auto spinField = [GroupBox5](const char *name, double min, double max, double value) {
        auto *field = named(new SuperSpin(GroupBox5), name);
        field->setMaxValue(max);
        field->setMinValue(min);
        field->setValue(value);
        field->setIncrement(1);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setDecimals(-1);
        field->setNumberFormat(NumFormat::Standard);
        field->setRoundValues(false);
        field->setWrap(false);
        return field;
    };
    STARTFROM = spinField("STARTFROM", 0, 9999, 0);
    STARTFROM->setGeometry(135, 10, 46, 22);
    label(GroupBox5, "Label6", "Incremento", 75, 45);
    INCREM = spinField("INCREM", 1, 100, 1);
    INCREM->setGeometry(135, 40, 46, 22);

    // "Cerca->Sostituisci"
    TabSheet4 = page("TabSheet4");
    PageControl2->addTab(TabSheet4, QStringLiteral("Cerca->Sostituisci"));
    label(TabSheet4, "Label2", "Cerca", 10, 5);
    CERCA = edit(TabSheet4, "CERCA", QRect(10, 20, 191, 21));
    label(TabSheet4, "Label3", "Sostituisci con", 10, 55);
    SOSTI = edit(TabSheet4, "SOSTI", QRect(10, 70, 191, 21));
    CBUPPER = checkBox(TabSheet4, "CBUPPER", "Forza in Maiuscolo", 10, 100);

    // "Cambia Estensione"
    TabSheet5 = page("TabSheet5");
    PageControl2->addTab(TabSheet5, QStringLiteral("Cambia Estensione"));
    label(TabSheet5, "Label4", "New Extention", 20, 35);
    ESTEN = edit(TabSheet5, "ESTEN", QRect(100, 30, 51, 21));
    CBUPPEREX = checkBox(TabSheet5, "CBUPPEREX", "Forza in Maiuscolo", 40, 85);

    // "Pulisci Nome"
    TabSheet6 = page("TabSheet6");
    PageControl2->addTab(TabSheet6, QStringLiteral("Pulisci Nome"));
    label(TabSheet6, "Label7", "Rimuovi dal nome file i seg. caratteri e ", 5, 15);
    label(TabSheet6, "Label8", "parole, separati da virgola ( Max 20 )", 5, 30);
    label(TabSheet6, "Label10", "con l'ordine di scrittura.", 5, 45);
    label(TabSheet6, "Label9", "Es:    A,1,DivX...", 5, 65);
    CARLIST = edit(TabSheet6, "CARLIST", QRect(5, 85, 201, 21));
    UPLOW = checkBox(TabSheet6, "UPLOW", "Ignora Maiuscolo / minuscolo", 30, 120);

    // "Sostituisci carattere"
    TabSheet8 = page("TabSheet8");
    PageControl2->addTab(TabSheet8, QStringLiteral("Sostituisci carattere"));
    label(TabSheet8, "Label11", "Sostituisce tutte le occorrenze di un", 24, 16);
    label(TabSheet8, "Label12", "carattere con un altro carattere", 32, 32);
    label(TabSheet8, "Label13", "Cerca", 32, 80);
    EDCERCACAR = edit(TabSheet8, "EDCERCACAR", QRect(111, 77, 26, 21), ".");
    LBCERCACAR = label(TabSheet8, "LBCERCACAR", "<.>", 152, 80);
    label(TabSheet8, "Label14", "Sostituisci con", 32, 112);
    EDSOSTCAR = edit(TabSheet8, "EDSOSTCAR", QRect(111, 109, 26, 21), " ");
    LBSOSTCAR = label(TabSheet8, "LBSOSTCAR", "< >", 152, 112);
}

void TForm1::createListingPage()
{
    TabSheet7 = page("TabSheet7");
    PageControl1->addTab(TabSheet7, QStringLiteral("Crea e Salva Lista Files"));
    const QFont ordinary = font();
    const QSize groupBox8Size(626, 427);

    GroupBox8 = groupBox(TabSheet7, "GroupBox8", "  Lista Nomifiles  ");
    LISTADOC = named(new QTextEdit(GroupBox8), "LISTADOC");
    LISTADOC->setLineWrapMode(QTextEdit::WidgetWidth);
    LISTADOC->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LISTADOC->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    LISTADOC->setAcceptRichText(false);
    // A listing holds no tabs typed by hand: Tab moves on to the options and buttons, as elsewhere.
    LISTADOC->setTabChangesFocus(true);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPointSize(10);
    LISTADOC->setFont(courier);
    LISTADOC->document()->setDefaultFont(courier);
    m_anchors->place(LISTADOC, QRect(5, 15, 616, 370), kAllEdges, groupBox8Size);
    SBSELALL = named(new QPushButton(QStringLiteral("Seleziona tutto"), GroupBox8), "SBSELALL");
    m_anchors->place(SBSELALL, QRect(10, 391, 126, 26), Qt::LeftEdge | Qt::BottomEdge, groupBox8Size);
    SBDESELALL = named(new QPushButton(QStringLiteral("Deseleziona tutto"), GroupBox8), "SBDESELALL");
    m_anchors->place(SBDESELALL, QRect(145, 391, 126, 26), Qt::LeftEdge | Qt::BottomEdge,
                     groupBox8Size);

    SBAGGLISTA = pictureButton(TabSheet7, "SBAGGLISTA", "refresh", "AGGIORNA LISTA");
    SBCOPYCB = pictureButton(TabSheet7, "SBCOPYCB", "copy", "COPIA SELEZ IN CLIPBOARD");
    SBSTAMPA = pictureButton(TabSheet7, "SBSTAMPA", "print", "STAMPA");
    SBSAVELISTA = pictureButton(TabSheet7, "SBSAVELISTA", "save", "SALVA LISTA IN FILE");

    GroupBox1 = groupBox(TabSheet7, "GroupBox1", "  Includi :    ");
    CBPATH = checkBox(GroupBox1, "CBPATH", "Path", 5, 15);
    CBEXT = checkBox(GroupBox1, "CBEXT", "Estensione", 5, 35);
    CBDIM = checkBox(GroupBox1, "CBDIM", "Dim.", 5, 55);
    auto *units = new QButtonGroup(GroupBox1);
    RBKB = radio(GroupBox1, units, "RBKB", "KB", 65, 55, true);
    RBMB = radio(GroupBox1, units, "RBMB", "MB", 65, 70);
    CBDATAF = checkBox(GroupBox1, "CBDATAF", "Data", 5, 85);
    CBORA = checkBox(GroupBox1, "CBORA", "Ora", 5, 105);
    MARKDIR = checkBox(GroupBox1, "MARKDIR", "Marca Dir con", 5, 124, true);
    EDMARKDIR = edit(GroupBox1, "EDMARKDIR", QRect(25, 140, 66, 21), "<>");
    boldCaption(GroupBox1, ordinary);

    GroupBox2 = groupBox(TabSheet7, "GroupBox2", "  Opzioni lista  ");
    GroupBox3 = groupBox(GroupBox2, "GroupBox3", "  Separatore  ");
    GroupBox3->setGeometry(5, 15, 101, 111);
    auto *separators = new QButtonGroup(GroupBox3);
    RBSEPSPAZIO = radio(GroupBox3, separators, "RBSEPSPAZIO", "spazio", 5, 20, true);
    RBSEPPV = radio(GroupBox3, separators, "RBSEPPV", "punto e virgola", 5, 40);
    RBSEPTAB = radio(GroupBox3, separators, "RBSEPTAB", "tabulazione", 5, 60);
    RBSEPALTRO = radio(GroupBox3, separators, "RBSEPALTRO", "altro", 5, 80);
    EDSEP = edit(GroupBox3, "EDSEP", QRect(50, 80, 46, 21), "_");
    EDSEP->setEnabled(false);
    GroupBox7 = groupBox(GroupBox2, "GroupBox7", " Letter Case  ");
    GroupBox7->setGeometry(5, 130, 101, 76);
    auto *letterCase = new QButtonGroup(GroupBox7);
    RBCOSI = radio(GroupBox7, letterCase, "RBCOSI", "Così com'è", 5, 15, true);
    RBUPPER = radio(GroupBox7, letterCase, "RBUPPER", "MAIUSCOLO", 5, 35);
    RBLOWER = radio(GroupBox7, letterCase, "RBLOWER", "minuscolo", 5, 55);
    GroupBox6 = groupBox(GroupBox2, "GroupBox6", "  Formato file  ");
    GroupBox6->setGeometry(5, 210, 101, 86);
    auto *formats = new QButtonGroup(GroupBox6);
    RBRTF = radio(GroupBox6, formats, "RBRTF", "RTF (Word)", 5, 20, true);
    RBTXT = radio(GroupBox6, formats, "RBTXT", "TXT (NotePad)", 5, 40);
    RBCSV = radio(GroupBox6, formats, "RBCSV", "CSV (Excell)", 5, 60);
    boldCaption(GroupBox2, ordinary);

    placeListingPage();
}

void TForm1::connectHandlers()
{
    const auto onClick = [this](QAbstractButton *button, void (TForm1::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick(SBUP1L, &TForm1::SBUP1LClick);
    onClick(SBFILTRI, &TForm1::SBFILTRIClick);
    onClick(ADDNAMES, &TForm1::ADDNAMESClick);
    onClick(SBREMOVE, &TForm1::SBREMOVEClick);
    onClick(CLEARNAMES, &TForm1::CLEARNAMESClick);

    onClick(SBTRYREN, &TForm1::SBTRYRENClick);
    onClick(SBUNDO, &TForm1::SBUNDOClick);
    onClick(SBREN, &TForm1::SBRENClick);
    onClick(SBUP, &TForm1::SBUPClick);
    onClick(SBDOWN, &TForm1::SBDOWNClick);
    connect(LISTAREN->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TForm1::LISTARENColumnClick);
    connect(EDCERCACAR, &QLineEdit::textChanged, this, &TForm1::EDCERCACARChange);
    connect(EDSOSTCAR, &QLineEdit::textChanged, this, &TForm1::EDSOSTCARChange);

    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (PageControl1->widget(index) == TabSheet7)
            TabSheet7Show();
    });
    onClick(SBAGGLISTA, &TForm1::SBAGGLISTAClick);
    for (QAbstractButton *option : std::initializer_list<QAbstractButton *>{
             CBPATH, CBEXT, CBDIM, RBKB, RBMB, CBDATAF, CBORA, RBSEPSPAZIO, RBSEPPV, RBSEPTAB,
             RBCOSI, RBUPPER, RBLOWER})
        onClick(option, &TForm1::SBAGGLISTAClick);
    connect(EDMARKDIR, &QLineEdit::textChanged, this, &TForm1::SBAGGLISTAClick);
    onClick(MARKDIR, &TForm1::MARKDIRClick);
    onClick(RBSEPALTRO, &TForm1::RBSEPALTROClick);
    onClick(RBRTF, &TForm1::RBRTFClick);
    onClick(RBTXT, &TForm1::RBTXTClick);
    onClick(RBCSV, &TForm1::RBCSVClick);
    onClick(SBSAVELISTA, &TForm1::SBSAVELISTAClick);
    onClick(SBCOPYCB, &TForm1::SBCOPYCBClick);
    onClick(SBSELALL, &TForm1::SBSELALLClick);
    onClick(SBDESELALL, &TForm1::SBDESELALLClick);
    onClick(SBSTAMPA, &TForm1::SBSTAMPAClick);
}

void TForm1::FormCreate()
{
    m_programFolder = platform::programFolder();
    m_table.setRowCount(0);
    m_listFormat = QStringLiteral("RTF");
    if (QGuiApplication::primaryScreen()) {
        const StartPlace place = startPlace(QMargins());
        move(place.framePosition);
        resize(place.client);
        if (place.maximize)
            setWindowState(windowState() | Qt::WindowMaximized);
    }
    setWindowTitle(windowTitle() + VersionText());
    PageControl1->setCurrentIndex(0);
    PageControl2->setCurrentIndex(0);
}

QString TForm1::VersionText(const platform::FileVersion &version)
{
    return QString::asprintf("%2.1d.%2.1d.%2.1d", int(version.major), int(version.minor),
                             int(version.release));
}

QString TForm1::VersionText()
{
    return VersionText(platform::programVersion());
}

void TForm1::setStatusText(int panel, const QString &text)
{
    StatusPanels[panel]->setText(text);
}

} // namespace nomaro
