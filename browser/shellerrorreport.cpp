#include "browser/shellerrorreport.h"

#include <QString>

#include "widgets/messages.h"

namespace nomaro {

void showShellError(QWidget *parent, const platform::ShellError &error)
{
    showError(parent, QString::fromUtf8(error.what()));
}

} // namespace nomaro
