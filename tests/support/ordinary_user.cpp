#include "tests/support/ordinary_user.h"

#include <QCoreApplication>
#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/tempdir.h"

namespace nomaro::test {

bool checksRunAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return true;
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string copy = dir.pathOf("child-test");
    std::filesystem::copy_file(QCoreApplication::applicationFilePath().toStdString(), copy);
    ::chmod(copy.c_str(), 0755);

    const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setWorkingDirectory(QString::fromStdString(dir.path()));
    child.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QString::fromStdString(copy),
                 QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()))});
    const bool finished = child.waitForFinished(60000);
    const std::string output =
        child.readAllStandardOutput().toStdString() + child.readAllStandardError().toStdString();
    EXPECT_TRUE(finished) << output;
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    // A child that skipped or ran nothing proves nothing.
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    return false;
}

} // namespace nomaro::test
