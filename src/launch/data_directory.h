#pragma once
// Where the game's data files are: the directory the game makes its working directory before
// anything reads a file, so that every file is still opened by its bare name.
#include <functional>
#include <optional>
#include <string>

namespace morvane {

// The file whose presence marks a directory as holding the game's data.
inline constexpr const char* dataMarkerFile = "walltex.bmp";

// What the choice looks at. Paths are absolute; an empty one is not known.
struct DataSearch {
  std::string executablePath;              // the running executable, symbolic links resolved
  std::string installedDataFromExecutable;  // relative to the executable's directory
  std::string buildTreeDirectory;          // the build tree the executable was built in
  std::string sourceAssetsDirectory;       // the source tree's assets/
};

// Answers whether a file exists at the path (relative paths: from the current directory).
using FileExists = std::function<bool(const std::string& path)>;

// The directory to change into, or nothing to stay in the current one. In this order: the
// current directory when it holds the marker; the installed data directory beside the
// executable; the source assets for an executable inside its build tree. When none holds the
// marker the current directory stays, and loading fails there as it would have.
std::optional<std::string> chooseDataDirectory(const DataSearch& search, const FileExists& exists);

// True when `path` is `directory` or lies below it, judged on the spelling alone.
bool isInsideDirectory(const std::string& path, const std::string& directory);

}  // namespace morvane
