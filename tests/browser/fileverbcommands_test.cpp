// The file commands that the list and the tree share, called directly: what they ask, what they
// report.

#include <gtest/gtest.h>

#include <QStringList>
#include <QWidget>
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

} // namespace
