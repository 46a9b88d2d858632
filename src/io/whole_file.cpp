#include "io/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace morvane {
namespace {

constexpr size_t readStepBytes = 64 * 1024;

// Closes the descriptor on every return path.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

WholeFile readWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes) {
  bytes.clear();
  WholeFile result;
  // Only a regular file is opened at all: opening a device or a FIFO can act on it (rewind a
  // tape, wake a writer waiting on the FIFO). The descriptor is checked again, since the name
  // may be swapped between the two; O_NONBLOCK and O_NOCTTY keep that swap harmless too.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return result;
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) return result;
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) return result;
  result.sizeAtOpen = static_cast<uint64_t>(status.st_size);
  if (result.sizeAtOpen > maxBytes) {
    result.status = WholeFileStatus::tooLarge;
    return result;
  }

  bytes.reserve(static_cast<size_t>(result.sizeAtOpen));
  size_t filled = 0;
  for (;;) {
    // One byte past the cap is enough to tell a file that has grown beyond it.
    const size_t room = std::min(readStepBytes, maxBytes + 1 - filled);
    bytes.resize(filled + room);
    const ssize_t got = ::read(file.get(), bytes.data() + filled, room);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      result.status = WholeFileStatus::unreadable;
      return result;
    }
    if (got == 0) break;
    filled += static_cast<size_t>(got);
    if (filled > maxBytes) {
      result.status = WholeFileStatus::tooLarge;
      return result;
    }
  }
  bytes.resize(filled);
  result.status = WholeFileStatus::ok;
  return result;
}

}  // namespace morvane
