#include "app/tform1.h"

#include <QStandardItemModel>

namespace nomaro {

int TForm1::IndexOfListedName(const std::string &displayName) const
{
    const QString caption = QString::fromStdString(displayName);
    for (int i = 0; i < m_listaNomiModel->rowCount(); ++i)
        if (m_listaNomiModel->item(i, 0)->text() == caption)
            return i;
    return -1;
}

void TForm1::ADDNAMESClick() {}
void TForm1::AddSelectedItems() {}
void TForm1::RefreshViews() {}
void TForm1::UpdateStatusCounts() {}
void TForm1::SBREMOVEClick() {}
void TForm1::CLEARNAMESClick() {}
void TForm1::SBUP1LClick() {}
void TForm1::SBFILTRIClick() {}

} // namespace nomaro

namespace nomaro {

void TForm1::setFilterDialog(TForm2 *dialog)
{
    m_filterDialog = dialog;
}

} // namespace nomaro
