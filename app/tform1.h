#pragma once

#include <QFont>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/version.h"
#include "workset/file_table.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableView;
class QTextEdit;
class QToolButton;
class QFileDialog;
class QPrinter;

namespace nomaro {

class AnchorSet;
class FileTableModel;
class ShellList;
class ShellTree;
class SplitterBar;
class SuperSpin;
class TForm2;

// The main window: three tab pages and the status bar. Its code is split by job: tform1.cpp (the
// controls and start-up), tform1_layout.cpp (places fitted to their texts, the resizing rule and
// the start on the screen), and the handlers by subsystem in tform1_workset.cpp,
// tform1_rename.cpp and tform1_listing.cpp.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The font of every control: "MS Sans Serif" 8 point, or a metric-compatible stand-in.
    static QFont designedFont();

    static QString VersionText(const platform::FileVersion &version);
    static QString VersionText();

    // Widths of the first page's panes for a page width: the folder tree, the folder list and what
    // is left for the working-set list.
    struct WidthRule
    {
        int folderTree;
        int folderList;
        int workingSet;
    };
    static WidthRule widthRule(int pageWidth);

    // Where the window starts: its frame at the work area's top-left corner and as large as the
    // work area, the client area being that less the frame. A platform that lets no program place
    // its windows (Wayland), or that tells no work area apart from the whole screen though its
    // window manager may keep panels there, leaves the fitting to the window manager: the window
    // then asks to be maximized, which fills the work area whatever the panels.
    struct StartPlace
    {
        QPoint framePosition;
        QSize client;
        bool maximize;
    };
    static StartPlace startPlace(const QRect &screen, const QRect &workArea, const QMargins &frame,
                                 bool placesWindows);

    // The filter dialog, created hidden after the main window and kept for the run.
    void setFilterDialog(TForm2 *dialog);

    FileTable &fileTable() { return m_table; }
    const std::string &programFolder() const { return m_programFolder; }
    const QString &ListFormat() const { return m_listFormat; }

    // Index of the first row of LISTANOMI whose caption equals the text exactly, or -1.
    int IndexOfListedName(const std::string &displayName) const;

    // Window
    void FormCreate();
    void FormResize();

    // Working set
    void ADDNAMESClick();
    void AddSelectedItems();
    void RefreshViews();
    void UpdateStatusCounts();
    void SBREMOVEClick();
    void CLEARNAMESClick();
    void SBUP1LClick();
    void SBFILTRIClick();

    // Rename engine
    void SBTRYRENClick();
    void SBUPClick();
    void SBDOWNClick();
    void LISTARENColumnClick(int column);
    void SBRENClick();
    void SBUNDOClick();
    void EDCERCACARChange();
    void EDSOSTCARChange();

    // Listing
    void TabSheet7Show();
    void SBAGGLISTAClick();
    void MARKDIRClick();
    void RBSEPALTROClick();
    void RBRTFClick();
    void RBTXTClick();
    void RBCSVClick();
    void SBSAVELISTAClick();
    void SBCOPYCBClick();
    void SBSELALLClick();
    void SBDESELALLClick();
    void SBSTAMPAClick();

    // Where SBSTAMPAClick prints: the system's default printer, or none when it has none.
    // Tests put a printer writing a PDF file in its place.
    using PrinterProvider = std::function<std::unique_ptr<QPrinter>()>;
    void setPrinterProvider(PrinterProvider provider) { m_printerProvider = std::move(provider); }

private:
    // Rebuilds LISTADOC from the file table and the list options.
    void BuildFileList();
    // The save dialog SD1, built at its first use (it costs start-up time and lists its folder)
    // and the same dialog each time after.
    QFileDialog *saveDialog();

    PrinterProvider m_printerProvider;
    // The lines of the last listing built, with the names' own bytes: saved as they are while the
    // field is unedited (a listing of one empty line is then still one line).
    std::vector<std::string> m_builtLines;
    // The save dialog offers the file name chosen last.
    QString m_lastListFileName;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static constexpr QSize kMinimumWindow{760, 550};
    static constexpr QSize kDesignedClient{752, 516};
    static constexpr QSize kDesignedPage{744, 467};
    static constexpr int kStatusBarHeight = 21;
    static constexpr Qt::Edges kAllEdges{Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge};
    // The fixed panes of the first page: the two splitter bars and the column of buttons.
    static constexpr int kSplitter2Width = 5;
    static constexpr int kPanel1Width = 36;
    static constexpr int kSplitter1Width = 8;

    void createStatusBar();
    void createSelectionPage();
    void createRenamePage();
    void createRulePages();
    void createListingPage();
    void placeListingPage();
    QSize minimumClientSize(const QMargins &frame) const;
    void connectHandlers();
    void setStatusText(int panel, const QString &text);
    // The rebuild and the counters given the number of items selected in the folder list, which
    // adding has read already.
    void RefreshViews(int folderSelected);
    void UpdateStatusCounts(int folderSelected);
    void fitFrameToScreen();
    StartPlace startPlace(const QMargins &frame) const;

    // Program-wide values
    FileTable m_table;
    std::string m_programFolder;
    QString m_listFormat;
    TForm2 *m_filterDialog = nullptr;
    AnchorSet *m_anchors = nullptr;
    bool m_frameFitted = false;

    // Controls, each named as its objectName.
    QWidget *StatusBar1 = nullptr;
    QLabel *StatusPanels[4] = {};
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *TabSheet7 = nullptr;

    // "Seleziona Files"
    ShellTree *STV1 = nullptr;
    SplitterBar *Splitter2 = nullptr;
    ShellList *SLV1 = nullptr;
    SplitterBar *Splitter1 = nullptr;
    QWidget *Panel1 = nullptr;
    QToolButton *SBUP1L = nullptr;
    QToolButton *SBFILTRI = nullptr;
    QToolButton *ADDNAMES = nullptr;
    QToolButton *SBREMOVE = nullptr;
    QToolButton *CLEARNAMES = nullptr;
    QTableView *LISTANOMI = nullptr;
    FileTableModel *m_listaNomiModel = nullptr;

    // "Ordina e Rinomina Files"
    QTabWidget *PageControl2 = nullptr;
    QToolButton *SBTRYREN = nullptr;
    QToolButton *SBUNDO = nullptr;
    QToolButton *SBREN = nullptr;
    QWidget *Panel2 = nullptr;
    QToolButton *SBUP = nullptr;
    QToolButton *SBDOWN = nullptr;
    QTableView *LISTAREN = nullptr;
    FileTableModel *m_listaRenModel = nullptr;

    QWidget *TabSheet3 = nullptr;
    QLineEdit *BASENAME = nullptr;
    QRadioButton *SC1 = nullptr;
    QRadioButton *SC2 = nullptr;
    QRadioButton *SC3 = nullptr;
    QRadioButton *SC4 = nullptr;
    QLineEdit *SCU = nullptr;
    QRadioButton *ED1 = nullptr;
    QRadioButton *ED2 = nullptr;
    QRadioButton *ED3 = nullptr;
    SuperSpin *STARTFROM = nullptr;
    SuperSpin *INCREM = nullptr;

    QWidget *TabSheet4 = nullptr;
    QLineEdit *CERCA = nullptr;
    QLineEdit *SOSTI = nullptr;
    QCheckBox *CBUPPER = nullptr;

    QWidget *TabSheet5 = nullptr;
    QLineEdit *ESTEN = nullptr;
    QCheckBox *CBUPPEREX = nullptr;

    QWidget *TabSheet6 = nullptr;
    QLineEdit *CARLIST = nullptr;
    QCheckBox *UPLOW = nullptr;

    QWidget *TabSheet8 = nullptr;
    QLineEdit *EDCERCACAR = nullptr;
    QLabel *LBCERCACAR = nullptr;
    QLineEdit *EDSOSTCAR = nullptr;
    QLabel *LBSOSTCAR = nullptr;

    // "Crea e Salva Lista Files"
    QGroupBox *GroupBox8 = nullptr;
    QTextEdit *LISTADOC = nullptr;
    QPushButton *SBSELALL = nullptr;
    QPushButton *SBDESELALL = nullptr;
    QToolButton *SBAGGLISTA = nullptr;
    QToolButton *SBCOPYCB = nullptr;
    QToolButton *SBSTAMPA = nullptr;
    QToolButton *SBSAVELISTA = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *CBPATH = nullptr;
    QCheckBox *CBEXT = nullptr;
    QCheckBox *CBDIM = nullptr;
    QRadioButton *RBKB = nullptr;
    QRadioButton *RBMB = nullptr;
    QCheckBox *CBDATAF = nullptr;
    QCheckBox *CBORA = nullptr;
    QCheckBox *MARKDIR = nullptr;
    QLineEdit *EDMARKDIR = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QGroupBox *GroupBox3 = nullptr;
    QRadioButton *RBSEPSPAZIO = nullptr;
    QRadioButton *RBSEPPV = nullptr;
    QRadioButton *RBSEPTAB = nullptr;
    QRadioButton *RBSEPALTRO = nullptr;
    QLineEdit *EDSEP = nullptr;
    QGroupBox *GroupBox7 = nullptr;
    QRadioButton *RBCOSI = nullptr;
    QRadioButton *RBUPPER = nullptr;
    QRadioButton *RBLOWER = nullptr;
    QGroupBox *GroupBox6 = nullptr;
    QRadioButton *RBRTF = nullptr;
    QRadioButton *RBTXT = nullptr;
    QRadioButton *RBCSV = nullptr;
    QFileDialog *SD1 = nullptr;
};

} // namespace nomaro
