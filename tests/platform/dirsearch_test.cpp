#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

#include "platform/dirsearch.h"
#include "tests/support/tempdir.h"

using namespace nomaro::platform;

TEST(MatchesWildcard, FollowsTheMaskRules)
{
    struct Case
    {
        const char *what;
        const char *pattern;
        const char *name;
        bool matches;
    };
    const Case cases[] = {
        {"star matches any run", "*.jpg", "photo.jpg", true},
        {"letters match without regard to case", "*.jpg", "A.JPG", true},
        {"question mark is one character", "a?c", "abc", true},
        {"question mark is not zero characters", "a?c", "ac", false},
        {"star matches a hidden name", "*", ".profile", true},
        {"brackets stand for themselves", "x[1].txt", "x[1].txt", true},
        {"brackets are no character class", "x[1].txt", "x1.txt", false},
        {"backslash stands for itself", "a\\b", "a\\b", true},
        {"a leading blank belongs to the mask", " *.txt", "a.txt", false},
        {"a leading blank matches a leading blank", " *.txt", " a.txt", true},
        {"dot is never matched", "*", ".", false},
        {"dot-dot is never matched", "*", "..", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(matchesWildcard(c.pattern, c.name), c.matches) << c.what;
}

TEST(SearchDirectory, FindsMatchesAndTellsDirectories)
{
    nomaro::test::TempDir dir;
    dir.writeFile("A.JPG");
    dir.writeFile("b.Jpeg");
    dir.makeFolder("pics.jpg");
    std::vector<std::pair<std::string, bool>> found;
    const SearchResult result = searchDirectory(dir.path(), "*.jpg", [&](std::string_view name, bool isDirectory) {
        found.emplace_back(std::string(name), isDirectory);
    });
    std::sort(found.begin(), found.end());
    EXPECT_EQ(result.outcome, SearchOutcome::Found);
    const std::vector<std::pair<std::string, bool>> expected = {{"A.JPG", false}, {"pics.jpg", true}};
    EXPECT_EQ(found, expected);
}

TEST(SearchDirectory, TellsNothingFoundApartFromFailure)
{
    nomaro::test::TempDir dir;
    dir.writeFile("a.txt");
    auto ignore = [](std::string_view, bool) {};

    EXPECT_EQ(searchDirectory(dir.path(), "*.png", ignore).outcome, SearchOutcome::NothingFound);

    const SearchResult missing = searchDirectory(dir.pathOf("gone"), "*", ignore);
    EXPECT_EQ(missing.outcome, SearchOutcome::Failed);
    EXPECT_EQ(missing.error, ENOENT);

    const SearchResult slash = searchDirectory(dir.path(), "sub/*.txt", ignore);
    EXPECT_EQ(slash.outcome, SearchOutcome::Failed);
    EXPECT_EQ(slash.error, EINVAL);
}
