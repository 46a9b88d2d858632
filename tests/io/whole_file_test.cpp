// The whole-file reader that the texture and the clips go through, against what may lie under a
// data file's name besides a small file: FIFOs, devices, folders, huge files and files that hold
// more than their size says.
#include "io/whole_file.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

namespace morvane {
namespace {

// The status, the size at open and what was read: "ok 3: abc".
std::string readOutcome(const std::string& path, size_t cap) {
  std::vector<uint8_t> bytes;
  const WholeFile file = readWholeFile(path, cap, bytes);
  const char* names[] = {"ok", "notFound", "tooLarge", "unreadable"};
  return names[int(file.status)] + (" " + std::to_string(file.sizeAtOpen)) + ": " +
         (file.status == WholeFileStatus::ok ? std::string(bytes.begin(), bytes.end()) : "");
}

TEST(WholeFile, RegularFilesUpToTheCapAndNothingElseNorAnythingThatHangsEvenWhenTheyHoldMoreThanTheirSize) {
  std::string pattern = (std::filesystem::temp_directory_path() / "morvane-io-XXXXXX").string();
  const std::filesystem::path dir = mkdtemp(pattern.data());
  std::ofstream(dir / "five") << "abcde";
  std::ofstream(dir / "huge") << "x";
  std::filesystem::resize_file(dir / "huge", uintmax_t{1} << 31);  // 2 GiB of hole: refused by its size, never read
  std::filesystem::create_symlink("/dev/zero", dir / "zero");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  // What is not a regular file is not even opened (opening a FIFO wakes a writer waiting on it).
  const int opens = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(inotify_add_watch(opens, (dir / "fifo").c_str(), IN_OPEN), 0);
  // A reader stuck in open() waits for a writer: give it one after 5 s, so the test ends either way.
  auto fifo = std::async(std::launch::async, [&dir] { return readOutcome(dir / "fifo", 4); });
  const bool returned = fifo.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!returned) std::ofstream{dir / "fifo"};
  EXPECT_TRUE(returned) << "the reader waited for a writer";
  char event[256];
  EXPECT_LT(read(opens, event, sizeof event), 0) << "the FIFO was opened";
  close(opens);
  const std::pair<std::string, std::string> cases[] = {
      {readOutcome(dir / "five", 5), "ok 5: abcde"},        {readOutcome(dir / "five", 4), "tooLarge 5: "},
      {readOutcome(dir / "missing", 4), "notFound 0: "},    {readOutcome(dir / "huge", 4), "tooLarge 2147483648: "},
      {readOutcome(dir / "zero", 4), "notFound 0: "}, {readOutcome(dir, 4), "notFound 0: "}, {fifo.get(), "notFound 0: "},
      // A file may hold more than its size said at open (a /proc file says 0, a file may grow while
      // it is read): the cap still holds, never a cut file read as whole. /proc/self/mem is regular,
      // but reading it at 0 fails.
      {readOutcome("/proc/self/status", 100), "tooLarge 0: "}, {readOutcome("/proc/self/mem", 100), "unreadable 0: "},
      {readOutcome("/proc/self/status", 1 << 20).substr(0, 11), "ok 0: Name:"},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace morvane
