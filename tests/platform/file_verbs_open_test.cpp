#include "platform/file_verbs_open.h"

#include "tests/support/tempdir.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <filesystem>

namespace nomaro::platform {
namespace {

using test::TempDir;

// Points the desktop's configuration and data folders at empty temporary ones, so only the
// applications a test installs exist.
class OpenWith : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : kVariables)
            m_old.push_back(qgetenv(name));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_root.makeFolder("config")));
        qputenv("XDG_CONFIG_DIRS", QByteArray::fromStdString(m_root.makeFolder("etc")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_root.makeFolder("data")));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(m_root.makeFolder("usr")));
        m_root.makeFolder("data/applications");
        m_root.makeFolder("usr/applications");
        // The types themselves still come from the system's MIME database.
        std::filesystem::create_directory_symlink("/usr/share/mime", m_root.pathOf("usr/mime"));
        m_text = m_files.writeFile("nota.txt", "testo\n");
        m_source = m_files.writeFile("prog.c", "int main() {}\n");
        m_picture = m_files.writeFile("foto.png", "\x89PNG\r\n\x1a\n");
        m_unknown = m_files.writeFile("dati.xyz", std::string("\x00\x01\x02", 3));
    }
    void TearDown() override
    {
        for (size_t i = 0; i < std::size(kVariables); ++i) {
            if (m_old[i].isNull())
                qunsetenv(kVariables[i]);
            else
                qputenv(kVariables[i], m_old[i]);
        }
    }

    void installApplication(const std::string &relative, const std::string &mimeTypes, bool hidden = false)
    {
        std::filesystem::create_directories(std::filesystem::path(m_root.pathOf(relative)).parent_path());
        m_root.writeFile(relative, "[Desktop Entry]\nType=Application\nName=App\nExec=app %f\n"
                                   + (mimeTypes.empty() ? std::string() : "MimeType=" + mimeTypes + "\n")
                                   + (hidden ? "Hidden=true\n" : ""));
    }

    static constexpr const char *kVariables[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                                 "XDG_DATA_DIRS"};
    std::vector<QByteArray> m_old;
    TempDir m_root;
    TempDir m_files;
    std::string m_text, m_source, m_picture, m_unknown;
};

TEST_F(OpenWith, NothingInstalledOpensNothing)
{
    for (const std::string &file : {m_text, m_picture, m_unknown})
        EXPECT_FALSE(hasApplicationFor(file)) << file;
    EXPECT_EQ(openedTypeOf(m_unknown), "application/octet-stream");
}

TEST_F(OpenWith, AnApplicationOpensItsTypesAndTheTypesDerivedFromThem)
{
    installApplication("usr/applications/editor.desktop", "text/plain;");
    EXPECT_TRUE(hasApplicationFor(m_text));
    EXPECT_TRUE(hasApplicationFor(m_source)) << "a C source is plain text too";
    EXPECT_FALSE(hasApplicationFor(m_picture));
    EXPECT_FALSE(hasApplicationFor(m_unknown));
}

TEST_F(OpenWith, AHiddenApplicationOpensNothing)
{
    installApplication("data/applications/editor.desktop", "text/plain;", true);
    EXPECT_FALSE(hasApplicationFor(m_text));
}

TEST_F(OpenWith, MimeappsListsAddAndRemoveAssociations)
{
    // A viewer that declares no type, in a vendor folder ("vendor-viewer.desktop").
    installApplication("usr/applications/vendor/viewer.desktop", "");
    m_root.writeFile("etc/mimeapps.list", "[Added Associations]\nimage/png=vendor-viewer.desktop;\n"
                                          "image/jpeg=missing.desktop;\n");
    EXPECT_TRUE(hasApplicationFor(m_picture));
    EXPECT_FALSE(hasApplicationFor(m_files.writeFile("foto.jpg", "\xff\xd8\xff")))
        << "an association with an application that is not there opens nothing";

    installApplication("usr/applications/editor.desktop", "text/plain;");
    m_root.writeFile("config/mimeapps.list", "[Removed Associations]\ntext/plain=editor.desktop;\n");
    EXPECT_FALSE(hasApplicationFor(m_text)) << "the user took the editor away from text files";
}

} // namespace
} // namespace nomaro::platform
