#include "platform/paths.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/tempdir.h"

namespace nomaro::platform {
namespace {

using test::TempDir;

TEST(ProgramFolder, FallsBackFromTheExecutablesFolderToDocumentsToHome)
{
    TempDir dir;
    const std::string program = dir.makeFolder("bin");
    const std::string documents = dir.makeFolder("Documenti");
    const std::string home = dir.makeFolder("home");
    const std::string file = dir.writeFile("not-a-folder");
    const std::string missing = dir.pathOf("missing");
    const struct
    {
        const char *shows;
        std::string executable;
        std::string documents;
        std::string expected;
    } cases[] = {
        {"a writable executable folder", program, documents, program + "/"},
        {"a missing executable folder", missing, documents, documents + "/"},
        {"an executable folder that is a file", file, documents, documents + "/"},
        {"no documents folder", missing, missing, home + "/"},
        {"documents that is a file", missing, file, home + "/"},
        {"the root keeps its one slash", "/", documents, "/"},
    };
    for (const auto &c : cases) {
        if (c.executable == "/" && ::access("/", W_OK) != 0)
            continue;
        EXPECT_EQ(chooseProgramFolder(c.executable, c.documents, home), c.expected) << c.shows;
    }
}

// Root may write everywhere, so a test of a folder the user may not write runs again as the
// ordinary user "nobody". Returns true when the caller should go on with the checks itself.
bool runsAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return true;
    QProcess child;
    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()))});
    EXPECT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString()
                                   << child.readAllStandardError().toStdString();
    return false;
}

TEST(ProgramFolder, ExecutableFolderTheUserMayNotWriteGivesDocuments)
{
    if (!runsAsOrdinaryUser())
        return;
    TempDir dir;
    const std::string program = dir.makeFolder("bin");
    const std::string documents = dir.makeFolder("Documenti");
    const std::string home = dir.makeFolder("home");
    ASSERT_EQ(::chmod(program.c_str(), 0555), 0);
    EXPECT_EQ(chooseProgramFolder(program, documents, home), documents + "/");
    EXPECT_EQ(chooseProgramFolder(program, dir.pathOf("missing"), home), home + "/");
    EXPECT_EQ(chooseProgramFolder("/usr/bin", documents, home), documents + "/");
}

} // namespace
} // namespace nomaro::platform
