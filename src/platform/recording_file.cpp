#include "platform/recording_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace morvane {
namespace {
constexpr std::size_t blockBytes = 64 * 1024;
}

RecordingFile::~RecordingFile() { close(); }

bool RecordingFile::create(const std::string& path, std::string& error) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd_ < 0) {
    error = "cannot create the recording '" + path + "': " + std::strerror(errno);
    return false;
  }
  // Kept absolute: the game changes its working directory after this, and a discard must
  // remove this file, not one of the same name there.
  char directory[4096];
  path_ = path.starts_with('/') || ::getcwd(directory, sizeof directory) == nullptr ? path : std::string(directory) + "/" + path;
  return true;
}

void RecordingFile::append(const std::string& text) {
  if (fd_ < 0 || failed_) return;
  pending_ += text;
  if (pending_.size() >= blockBytes) flush();
}

void RecordingFile::flush() {
  std::size_t written = 0;
  while (written < pending_.size() && !failed_) {
    const ssize_t n = ::write(fd_, pending_.data() + written, pending_.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("write");
    else written += static_cast<std::size_t>(n);
  }
  pending_.clear();
}

bool RecordingFile::close() {
  if (fd_ < 0) return !failed_;
  flush();
  if (!failed_ && ::fsync(fd_) != 0 && errno != EINVAL) fail("sync");
  if (::close(fd_) != 0 && !failed_) fail("close");
  fd_ = -1;
  return !failed_;
}

void RecordingFile::discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  if (path_.starts_with('/')) ::unlink(path_.c_str());
}

void RecordingFile::fail(const char* what) {
  const int error = errno;
  failed_ = true;
  std::fprintf(stderr, "morvane: cannot %s the recording '%s': %s; the rest of the match is not recorded\n", what,
               path_.c_str(), error == 0 ? "nothing was written" : std::strerror(error));
}

}  // namespace morvane
