#include "app/tform1.h"

#include "tests/fusefs/folder_state.h"
#include "tests/fusefs/fuse_mount.h"
#include "tests/rename/rows.h"
#include "tests/support/modal.h"

#include <gtest/gtest.h>

#include <QFile>

#include <fstream>

namespace nomaro {
namespace {

// A case change whose second step and way back both fail leaves the file under a hidden
// temporary name; the error box of "RINOMINA" must tell the user which item bears which name.
TEST(RinominaErrorBox, NamesTheItemLeftUnderATemporaryName)
{
    test::FuseMount mount({"--fold-case", "--fail-rename=[Ff][Oo][Tt][Oo].[Jj][Pp][Gg]"});
    NOMARO_REQUIRE_MOUNT(mount);
    std::ofstream(mount.backingOf("foto.jpg")) << "photo";
    std::ofstream(mount.backingOf("altra.jpg")) << "another";

    TForm1 window;
    window.fileTable().append(test::rowOf(mount.path(), "altra.jpg", "Foto.JPG")); // taken
    window.fileTable().append(test::rowOf(mount.path(), "foto.jpg", "FOTO.JPG"));
    window.RefreshViews();
    test::ModalAnswerer answer(QStringLiteral("Sì"));
    window.SBRENClick();

    const std::vector<std::string> names = test::namesIn(mount.backing());
    ASSERT_EQ(names.size(), 2u);
    const QString temporary = QFile::decodeName(names.front().c_str());
    ASSERT_TRUE(temporary.startsWith(QStringLiteral(".nomaro-"))) << names.front();
    ASSERT_EQ(answer.count(), 2);
    EXPECT_EQ(answer.texts().at(1),
              QStringLiteral("2 files non sono stati rinominati.\n"
                             "L'elemento \"foto.jpg\" ora si chiama \"%1\" (nella cartella %2): "
                             "non è stato possibile ridargli il suo nome.")
                  .arg(temporary, QFile::decodeName(mount.path().c_str())));
}

} // namespace
} // namespace nomaro
