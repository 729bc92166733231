#pragma once

#include <string>
#include <string_view>

namespace nomaro::test {

// A real temporary folder, removed with everything in it at the end of the test.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string pathOf(std::string_view name) const;

    // Creates a file (name relative to the folder, as raw bytes) holding `content`.
    std::string writeFile(std::string_view name, std::string_view content = {}) const;
    std::string makeFolder(std::string_view name) const;

private:
    std::string m_path;
};

bool exists(const std::string &path);
std::string readFile(const std::string &path);

} // namespace nomaro::test
