#pragma once
// A file written as the match is played. Created exclusively, so an existing file is never
// overwritten; written in blocks; the first failure (a full disk, an I/O error) is told on
// stderr once and kept, and nothing more is written.
#include <string>

namespace morvane {

class RecordingFile {
 public:
  RecordingFile() = default;
  RecordingFile(const RecordingFile&) = delete;
  RecordingFile& operator=(const RecordingFile&) = delete;
  ~RecordingFile();

  // Creates path (mode 0644 less the umask); false with the reason when it exists or cannot be.
  bool create(const std::string& path, std::string& error);
  bool isOpen() const { return fd_ >= 0; }
  void append(const std::string& text);
  // Writes what waits, syncs and closes. False if any write failed.
  bool close();
  bool failed() const { return failed_; }
  // Closes and removes the file: no match was played into it.
  void discard();

 private:
  void flush();
  void fail(const char* what);

  int fd_ = -1;
  std::string path_;
  std::string pending_;
  bool failed_ = false;
};

}  // namespace morvane
