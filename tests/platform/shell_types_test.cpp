#include <gtest/gtest.h>

#include <QMimeDatabase>

#include "platform/shell_types.h"

namespace {

std::string typeOfOrdinaryName(const char *name)
{
    return QMimeDatabase().mimeTypeForFile(QString::fromUtf8(name), QMimeDatabase::MatchExtension).comment().toStdString();
}

} // namespace

// Each row asks for the special name first, so that its type would be the one kept for the
// extension if the whole name decided it.
TEST(FileTypeName, ASpecialNameNeverPassesItsTypeToOtherNamesWithItsExtension)
{
    struct Case
    {
        const char *what;
        const char *special;
        const char *ordinary;
    };
    const Case cases[] = {
        {"a whole-name type", "pom.xml", "data.xml"},
        {"a double-extension type", "backup.tar.zst", "notes.zst"},
    };
    for (const Case &c : cases) {
        const std::string special = nomaro::platform::fileTypeName(c.special);
        const std::string ordinary = nomaro::platform::fileTypeName(c.ordinary);
        EXPECT_EQ(ordinary, typeOfOrdinaryName(c.ordinary)) << c.what;
        EXPECT_EQ(special, ordinary) << c.what << ": the type follows the last extension alone";
    }
}
