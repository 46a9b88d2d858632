#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "launch/data_directory.h"

namespace morvane {
namespace {

constexpr const char* buildTree = "/home/ana/morvane/build/release";
constexpr const char* sourceAssets = "/home/ana/morvane/assets";

DataSearch searchFrom(const std::string& executable) {
  return DataSearch{executable, "../share/games/morvane", buildTree, sourceAssets};
}

TEST(DataDirectory, ChoosesTheFirstPlaceThatHoldsTheData) {
  struct Case {
    const char* name;
    std::string executable;
    std::set<std::string> files;  // the files that exist
    std::optional<std::string> expected;
  };
  const std::string inBuild = std::string(buildTree) + "/src/app/morvane";
  const Case cases[] = {
      {"current directory wins over an installed copy", "/usr/games/morvane",
       {"walltex.bmp", "/usr/share/games/morvane/walltex.bmp"}, std::nullopt},
      {"current directory wins over the build tree", inBuild,
       {"walltex.bmp", "/home/ana/morvane/assets/walltex.bmp"}, std::nullopt},
      {"installed under /usr", "/usr/games/morvane",
       {"/usr/share/games/morvane/walltex.bmp"}, "/usr/share/games/morvane"},
      {"installed tree moved elsewhere", "/opt/x/games/morvane",
       {"/opt/x/share/games/morvane/walltex.bmp"}, "/opt/x/share/games/morvane"},
      {"installed into the build tree beats the source assets", std::string(buildTree) + "/inst/games/morvane",
       {std::string(buildTree) + "/inst/share/games/morvane/walltex.bmp", "/home/ana/morvane/assets/walltex.bmp"},
       std::string(buildTree) + "/inst/share/games/morvane"},
      {"build tree", inBuild, {"/home/ana/morvane/assets/walltex.bmp"}, "/home/ana/morvane/assets"},
      {"installed copy never uses the source assets", "/usr/games/morvane",
       {"/home/ana/morvane/assets/walltex.bmp"}, std::nullopt},
      {"a sibling build tree is not this one", "/home/ana/morvane/build/release2/src/app/morvane",
       {"/home/ana/morvane/assets/walltex.bmp"}, std::nullopt},
      {"a build tree reached through .. is still judged by where it leads",
       "/home/ana/morvane/build/release/../elsewhere/morvane",
       {"/home/ana/morvane/assets/walltex.bmp"}, std::nullopt},
      {"the other data files alone do not count", "/usr/games/morvane",
       {"/usr/share/games/morvane/hit.wav", "clickb.wav"}, std::nullopt},
      {"none holds the data", inBuild, {}, std::nullopt},
      {"unknown executable: only the current directory", "", {"/usr/share/games/morvane/walltex.bmp"},
       std::nullopt},
      {"relative executable path is not trusted", "games/morvane", {"share/games/morvane/walltex.bmp"},
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> asked;
    const auto exists = [&](const std::string& path) {
      asked.push_back(path);
      return c.files.count(path) != 0;
    };
    EXPECT_EQ(chooseDataDirectory(searchFrom(c.executable), exists), c.expected);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), "walltex.bmp") << "the current directory is asked first, by the bare name";
  }
}

TEST(DataDirectory, InstalledLayoutFollowsTheBuildsRelativePath) {
  // A layout with the data beside the binary, or a custom data folder, is found the same way.
  const std::set<std::string> files = {"/opt/m/bin/data/walltex.bmp", "/srv/m/share/morvane/walltex.bmp"};
  const auto exists = [&](const std::string& path) { return files.count(path) != 0; };
  EXPECT_EQ(chooseDataDirectory({"/opt/m/bin/morvane", "data", "", ""}, exists), "/opt/m/bin/data");
  EXPECT_EQ(chooseDataDirectory({"/srv/m/games/morvane", "../share/morvane/", "", ""}, exists),
            "/srv/m/share/morvane");
  EXPECT_EQ(chooseDataDirectory({"/srv/m/games/morvane", "", "", ""}, exists), std::nullopt);
}

TEST(DataDirectory, InsideADirectoryGoesByWholeComponents) {
  struct Case {
    const char* path;
    const char* directory;
    bool inside;
  };
  const Case cases[] = {
      {"/b/h1/src/app/morvane", "/b/h1", true},
      {"/b/h1/src/app/morvane", "/b/h1/", true},
      {"/b/h1", "/b/h1", true},
      {"/b/h10/src/app/morvane", "/b/h1", false},
      {"/b/h1x", "/b/h1", false},
      {"/b", "/b/h1", false},
      {"/b/h1/../h2/morvane", "/b/h1", false},
      {"/b/./h1/morvane", "/b/h1", true},
      {"/anything", "/", true},
      {"", "/b/h1", false},
      {"/b/h1/morvane", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isInsideDirectory(c.path, c.directory), c.inside) << c.path << " in " << c.directory;
  }
}

}  // namespace
}  // namespace morvane
