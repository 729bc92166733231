#include <QtGlobal>
#include <cstdio>

#include "app/application.h"
#include "app/tform1.h"
#include "workset/tform2.h"

namespace {
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}
} // namespace

int main(int argc, char **argv)
{
    if (!hasDisplay()) {
        std::fputs("nomaro: nessun display grafico disponibile (DISPLAY e WAYLAND_DISPLAY non sono impostati).\n",
                   stderr);
        return 1;
    }
    nomaro::NomaroApplication application(argc, argv);
    nomaro::TForm1 mainWindow;
    nomaro::TForm2 filterDialog(&mainWindow);
    mainWindow.setFilterDialog(&filterDialog);
    mainWindow.show();
    return application.exec();
}
