#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;

namespace nomaro {

// The filter dialog: the choice of a file mask for the folder list. Created once and kept
// hidden, so that its list shows the last choice again at the next opening.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *mainWindow);

    // The fixed mask of an item of FILTRIFILE; "*.*" for any other index.
    static std::string fileMaskOf(int itemIndex);

    void FFOKClick();
    void FFNOOKClick();

Q_SIGNALS:
    void fileMaskChosen(const std::string &mask);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *Label2;
    QComboBox *FILTRIFILE;
    QPushButton *FFOK;
    QPushButton *FFNOOK;
};

} // namespace nomaro
