#include "launch/data_directory.h"

#include <filesystem>

namespace morvane {
namespace {

namespace fs = std::filesystem;

// The lexically normal form without a trailing separator, so "/a/b/" and "/a/./b" compare as
// "/a/b". No file system access: the choice stays a pure function of its inputs.
fs::path normalised(const std::string& path) {
  fs::path p = fs::path(path).lexically_normal();
  if (!p.has_filename() && p.has_parent_path() && p != p.root_path()) p = p.parent_path();
  return p;
}

bool holdsData(const fs::path& directory, const FileExists& exists) {
  return exists((directory / dataMarkerFile).string());
}

}  // namespace

bool isInsideDirectory(const std::string& path, const std::string& directory) {
  if (path.empty() || directory.empty()) return false;
  const fs::path p = normalised(path);
  const fs::path d = normalised(directory);
  // Component by component, so that /build/h10 is not inside /build/h1.
  auto pi = p.begin();
  for (auto di = d.begin(); di != d.end(); ++di, ++pi) {
    if (pi == p.end() || *pi != *di) return false;
  }
  return true;
}

std::optional<std::string> chooseDataDirectory(const DataSearch& search, const FileExists& exists) {
  // A bare name: the player's own files beside where they started the game win.
  if (exists(dataMarkerFile)) return std::nullopt;

  const fs::path executable = normalised(search.executablePath);
  if (executable.is_absolute() && executable.has_parent_path()) {
    if (!search.installedDataFromExecutable.empty()) {
      const fs::path installed =
          normalised((executable.parent_path() / search.installedDataFromExecutable).string());
      if (holdsData(installed, exists)) return installed.string();
    }
    // The source assets serve only a binary that still lies in its build tree; an installed
    // copy never falls back to the tree it was built from.
    if (!search.sourceAssetsDirectory.empty() &&
        isInsideDirectory(executable.string(), search.buildTreeDirectory)) {
      const fs::path assets = normalised(search.sourceAssetsDirectory);
      if (holdsData(assets, exists)) return assets.string();
    }
  }
  return std::nullopt;
}

}  // namespace morvane
