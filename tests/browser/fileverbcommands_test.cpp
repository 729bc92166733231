// The file commands that the list and the tree share, called directly: what they ask, what they
// report.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "browser/fileverbcommands.h"
#include "tests/support/modal.h"
#include "tests/support/tempdir.h"

using nomaro::CommandOutcome;
using nomaro::FileVerbCommands;
using nomaro::test::exists;
using nomaro::test::ModalAnswerer;
using nomaro::test::TempDir;

namespace {

TEST(FileVerbCommandsTrash, TheQuestionNamesTheItemOrCountsThem)
{
    TempDir dir;
    const std::string one = dir.writeFile("nome con spazi è.txt");
    const std::vector<std::string> three = {dir.writeFile("a.txt"), dir.makeFolder("b"), dir.writeFile("c")};
    QWidget owner;
    const FileVerbCommands verbs(&owner);
    ModalAnswerer answer(QStringLiteral("No"));
    EXPECT_FALSE(verbs.trash({one}).ran);
    EXPECT_FALSE(verbs.trash(three).ran);
    EXPECT_EQ(answer.texts(), (QStringList{QStringLiteral("Sposto nel cestino \"nome con spazi è.txt\" ?"),
                                           QStringLiteral("Sposto nel cestino questi 3 elementi ?")}));
    EXPECT_EQ(answer.titles(), (QStringList{QStringLiteral("Conferma"), QStringLiteral("Conferma")}));
    EXPECT_TRUE(exists(one));
    for (const std::string &path : three)
        EXPECT_TRUE(exists(path)) << path;
}

CommandOutcome failing(int count)
{
    CommandOutcome outcome{true, {}, {}};
    for (int i = 1; i <= count; ++i)
        outcome.failures.push_back("Impossibile copiare \"file " + std::to_string(i)
                                   + ".txt\": Permission denied (errore 13)");
    return outcome;
}

TEST(FileVerbCommandsFailures, AFewAreAllNamedManyEndInACount)
{
    struct Case
    {
        int failures;
        int linesNamed;
        std::string last;
    };
    const Case cases[] = {
        {1, 1, "Impossibile copiare \"file 1.txt\": Permission denied (errore 13)"},
        {11, 11, "Impossibile copiare \"file 11.txt\": Permission denied (errore 13)"},
        {12, 10, "... e altri 2 elementi non riusciti."},
        {20000, 10, "... e altri 19990 elementi non riusciti."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.failures);
        const QStringList lines = QString::fromStdString(failing(c.failures).failureText()).split(QLatin1Char('\n'));
        EXPECT_EQ(lines.size(), c.linesNamed + (c.linesNamed < c.failures ? 1 : 0));
        EXPECT_EQ(lines.front().toStdString(), failing(1).failures.front()) << "each named with its reason";
        EXPECT_EQ(lines.back().toStdString(), c.last);
    }
}

TEST(FileVerbCommandsFailures, TheBoxOfTwentyThousandFailuresFitsTheScreen)
{
    QWidget owner;
    const FileVerbCommands verbs(&owner);
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    QRect box;
    bool okOnScreen = false;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        box = shown->frameGeometry();
        QAbstractButton *ok = shown->buttons().value(0);
        okOnScreen = ok && screen.contains(QRect(ok->mapToGlobal(QPoint(0, 0)), ok->size()));
        shown->accept();
    });
    verbs.showFailures(failing(20000));
    EXPECT_LE(box.height(), screen.height());
    EXPECT_TRUE(okOnScreen) << "box " << box.height() << " high on a screen of " << screen.height();
}

// Takes the desktop's opening of files, as a test cannot watch an application start.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

TEST(FileVerbCommandsOpen, AFileNoApplicationOpensGetsAMessageTheOthersOpen)
{
    TempDir root;
    const QByteArray oldDirs = qgetenv("XDG_DATA_DIRS");
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    // Only the editor below is installed; the types still come from the system's database.
    qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(root.makeFolder("usr")));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(root.makeFolder("data")));
    std::filesystem::create_directory_symlink("/usr/share/mime", root.pathOf("usr/mime"));
    root.makeFolder("usr/applications");
    root.writeFile("usr/applications/editor.desktop",
                   "[Desktop Entry]\nType=Application\nName=Editor\nExec=editor %f\nMimeType=text/plain;\n");
    const std::string unknown = root.writeFile("dati.xyz", std::string("\x00\x01", 2));
    const std::string text = root.writeFile(std::string("caff\xe8.txt"), "testo\n");

    QWidget owner;
    const FileVerbCommands verbs(&owner);
    UrlCatcher catcher;
    {
        ModalAnswerer answer(QStringLiteral("OK"));
        verbs.open({unknown, text});
        EXPECT_EQ(answer.texts(), QStringList{QStringLiteral("Impossibile aprire \"dati.xyz\": nessuna applicazione installata"
                                                             " apre questo tipo di file (application/octet-stream)")});
    }
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(QByteArray::fromPercentEncoding(catcher.opened[0].toEncoded()).toStdString(), "file://" + text)
        << "the name's own bytes reach the application";

    oldDirs.isNull() ? qunsetenv("XDG_DATA_DIRS") : qputenv("XDG_DATA_DIRS", oldDirs);
    qputenv("XDG_DATA_HOME", oldDataHome);
}

} // namespace

#include "fileverbcommands_test.moc"
