// Start-up of the program (application, main window, filter dialog, first show) against an
// empty Qt window holding a tab widget, each a fresh process, measured in the same run in
// alternating rounds. Run with QT_QPA_PLATFORM=offscreen or under a display.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/application.h"
#include "app/tform1.h"
#include "workset/tform2.h"

namespace {

// Shows the window and ends once the event loop has handled its first round of events.
int showAndQuit(QApplication &application, QWidget &window)
{
    window.show();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return application.exec();
}

int runEmptyWindow(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window;
    auto *tabs = new QTabWidget(&window);
    tabs->addTab(new QWidget, QStringLiteral("Uno"));
    tabs->addTab(new QWidget, QStringLiteral("Due"));
    tabs->addTab(new QWidget, QStringLiteral("Tre"));
    window.resize(752, 516);
    tabs->resize(window.size());
    return showAndQuit(application, window);
}

int runProgram(int argc, char **argv)
{
    nomaro::NomaroApplication application(argc, argv);
    nomaro::TForm1 mainWindow;
    nomaro::TForm2 filterDialog(&mainWindow);
    mainWindow.setFilterDialog(&filterDialog);
    return showAndQuit(application, mainWindow);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeChild(const char *self, const char *mode)
{
    QProcess child;
    QElapsedTimer clock;
    clock.start();
    child.start(QString::fromLocal8Bit(self), {QString::fromLatin1(mode)});
    child.waitForFinished(60000);
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "empty") == 0)
        return runEmptyWindow(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "program") == 0)
        return runProgram(argc, argv);

    const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 21;
    QCoreApplication application(argc, argv);
    std::vector<double> empty, program;
    timeChild(argv[0], "empty"); // warms the file cache for both
    timeChild(argv[0], "program");
    for (int round = 0; round < rounds; ++round) {
        // Rotated, so that neither side always runs first.
        if (round % 2 == 0) {
            empty.push_back(timeChild(argv[0], "empty"));
            program.push_back(timeChild(argv[0], "program"));
        } else {
            program.push_back(timeChild(argv[0], "program"));
            empty.push_back(timeChild(argv[0], "empty"));
        }
    }
    const double bare = median(empty);
    const double ours = median(program);
    std::printf("start-up, median of %d rounds: empty window with tabs %.1f ms, Nomaro %.1f ms, "
                "ratio %.2f (goal <= 1.50)\n",
                rounds, bare, ours, ours / bare);
    return 0;
}
