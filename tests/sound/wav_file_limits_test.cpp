// The WAV reader against what may lie under a clip's name besides a small clip: FIFOs, devices,
// huge or growing files, absurd sample rates, clips that would last minutes, and too little memory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "sound/wav_reader.h"

// The address and thread sanitizers bring their own allocators, which stop the process when
// memory runs out instead of letting operator new throw.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MORVANE_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MORVANE_SANITIZER_ALLOCATOR 1
#endif
#endif

namespace morvane {
namespace {

using Bytes = std::vector<uint8_t>;

void putLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The plain 44-byte header of an integer PCM file whose "data" chunk holds `dataBytes`.
Bytes wavHeader(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes) {
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  Bytes out{'R', 'I', 'F', 'F'};
  putLe(out, 36 + dataBytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putLe(out, 16, 4);
  putLe(out, 1, 2);
  putLe(out, channels, 2);
  putLe(out, rate, 4);
  putLe(out, rate * align, 4);
  putLe(out, align, 2);
  putLe(out, bits, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  putLe(out, dataBytes, 4);
  return out;
}

// The header followed by `dataBytes` bytes of silence.
Bytes wavBytes(uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataBytes) {
  Bytes out = wavHeader(channels, rate, bits, dataBytes);
  out.resize(out.size() + dataBytes, bits == 8 ? 128 : 0);
  return out;
}

// "line: message" of a failure, or "loaded".
std::string outcome(const std::optional<LoadFailure>& failed) {
  return failed ? std::to_string(failed->line) + ": " + failed->message : "loaded";
}

std::string readOutcome(const std::string& path) {
  WavFile wav;
  return outcome(readWavFile(path, wav));
}

// Reads and converts at `deviceRate`: the failure, or the number of frames converted.
std::string loadOutcome(const Bytes& bytes, uint32_t deviceRate) {
  WavFile wav;
  if (auto failed = parseWav(bytes, "x.wav", wav)) return outcome(failed);
  Clip clip;
  if (auto failed = convertForDevice(wav, deviceRate, "x.wav", clip)) return outcome(failed);
  return std::to_string(clip.frameCount()) + " frames";
}

// The child's side of expectInBoundedChild: exits 0 when `body` returns `expected`.
[[noreturn]] void runBounded(const std::function<std::string()>& body, const std::string& expected,
                             rlim_t extraBytes) {
  std::ifstream status("/proc/self/status");
  std::string key;
  rlim_t sizeKb = 0;
  while (status >> key && key != "VmSize:") status.ignore(1 << 10, '\n');
  status >> sizeKb;
  const rlimit limit{sizeKb * 1024 + extraBytes, sizeKb * 1024 + extraBytes};
  setrlimit(RLIMIT_AS, &limit);
  alarm(20);
  const std::string got = body();
  if (got == expected) _exit(0);
  std::fprintf(stderr, "got \"%s\"\n", got.c_str());
  _exit(1);
}

// Runs `body` in a child process that may use at most `extraBytes` more address space than it
// already has and at most 20 seconds, so a reader that reads without end fails the test
// instead of eating the machine's memory or hanging it. Expects `body` to return `expected`.
void expectInBoundedChild(const std::function<std::string()>& body, const std::string& expected,
                          rlim_t extraBytes) {
  EXPECT_EXIT(runBounded(body, expected, extraBytes), ::testing::ExitedWithCode(0), "");
}

struct WavFileLimitsTest : ::testing::Test {
  WavFileLimitsTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-wav-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  ~WavFileLimitsTest() override { std::filesystem::remove_all(dir); }
  std::string path(const char* name) const { return (dir / name).string(); }
  // Writes `bytes`, then extends the file with zero bytes (a hole) to `totalSize` if larger.
  std::string write(const char* name, const Bytes& bytes, size_t totalSize = 0) const {
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    if (totalSize > bytes.size()) std::filesystem::resize_file(file, totalSize);
    return file;
  }
  std::filesystem::path dir;
};

TEST_F(WavFileLimitsTest, AFifoIsNoFileAndDoesNotWaitForAWriter) {
  const std::string fifo = path("fifo.wav");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto load = std::async(std::launch::async, [&fifo] { return readOutcome(fifo); });
  const bool returned = load.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  // A reader stuck in open() waits for a writer: give it one, so the test ends either way.
  if (!returned) ::close(::open(fifo.c_str(), O_WRONLY));
  EXPECT_TRUE(returned) << "the reader waited for a writer";
  EXPECT_EQ(load.get(), "80: File not found: " + fifo);
}

TEST_F(WavFileLimitsTest, DevicesAndDirectoriesAreNoFiles) {
  const std::string zero = path("zero.wav");
  std::filesystem::create_symlink("/dev/zero", zero);
  expectInBoundedChild([&zero] { return readOutcome(zero); }, "80: File not found: " + zero,
                       rlim_t{1} << 30);
  std::filesystem::create_directory(path("folder.wav"));
  EXPECT_EQ(readOutcome(path("folder.wav")), "80: File not found: " + path("folder.wav"));
  EXPECT_EQ(readOutcome(path("missing.wav")), "80: File not found: " + path("missing.wav"));
}

TEST_F(WavFileLimitsTest, FilesAboveTheSizeCapAreNotReadIn) {
  // 384 kHz 16-bit stereo: a file of exactly 16 MiB is under 11 seconds and loads; one byte more
  // is refused before its samples are read, however valid its header.
  const Bytes header = wavHeader(2, 384000, 16, static_cast<uint32_t>(maxWavFileBytes) - 44);
  const std::string fits = write("fits.wav", header, maxWavFileBytes);
  const std::string tooBig = write("big.wav", header, maxWavFileBytes + 1);
  const std::string huge = write("huge.wav", wavHeader(1, 8000, 8, 0), size_t{1} << 31);  // sparse
  EXPECT_EQ(readOutcome(fits), "loaded");
  EXPECT_EQ(readOutcome(tooBig), "87: Not a waveform file: " + tooBig);
  expectInBoundedChild([&huge] { return readOutcome(huge); }, "87: Not a waveform file: " + huge,
                       rlim_t{1} << 30);
}

TEST_F(WavFileLimitsTest, SampleRatesOutsideOneKilohertzTo384KilohertzCannotBePlayed) {
  const std::string unplayable =
      "96: Waveform file x.wav has a format that cannot be played! (8 or 16-bit PCM, mono or stereo)";
  const struct { uint32_t rate; std::string expected; } cases[] = {
      {1, unplayable},     {999, unplayable},          {1000, "44100 frames"},
      {44100, "1000 frames"}, {384000, "114 frames"}, {384001, unplayable},
      {0xFFFFFFFF, unplayable},
  };
  // 1000 mono 8-bit frames, converted at 44.1 kHz.
  for (const auto& c : cases) EXPECT_EQ(loadOutcome(wavBytes(1, c.rate, 8, 1000), 44100), c.expected) << c.rate;

  // The clip that once became 26.5 million frames: 600 frames at 1 Hz in a 1,244-byte file.
  const std::string slow = write("slow.wav", wavBytes(1, 1, 16, 1200));
  ASSERT_EQ(std::filesystem::file_size(slow), 1244u);
  EXPECT_EQ(readOutcome(slow), "96: Waveform file " + slow +
                                   " has a format that cannot be played! (8 or 16-bit PCM, mono or stereo)");
}

TEST_F(WavFileLimitsTest, ClipsLongerThanAMinuteOnceConvertedAreRefused) {
  const std::string tooLong = "104: Waveform file x.wav is too long to be played!";
  const struct { uint32_t rate, frames, deviceRate; std::string expected; } cases[] = {
      {8000, 480000, 8000, "480000 frames"},  // exactly 60 s
      {8000, 480001, 8000, tooLong},
      {8000, 480000, 44100, "2646000 frames"},
      {8000, 480001, 44100, tooLong},
      {1000, 60001, 48000, tooLong},
      {384000, 23040000 / 4, 48000, "720000 frames"},  // a 15 s clip at the highest rate
  };
  for (const auto& c : cases) {
    EXPECT_EQ(loadOutcome(wavBytes(1, c.rate, 8, c.frames), c.deviceRate), c.expected) << c.frames;
  }
}

TEST(WavReaderMemory, AnAllocationThatFailsIsARefusal) {
#ifdef MORVANE_SANITIZER_ALLOCATOR
  GTEST_SKIP() << "the sanitizer's allocator stops the process instead of throwing";
#else
  // 50 s at 1 kHz converted for a 4 MHz device asks for 800 MB, under the minute's cap but far
  // beyond what the child may have.
  const Bytes bytes = wavBytes(1, 1000, 8, 50000);
  expectInBoundedChild([&bytes] { return loadOutcome(bytes, 4'000'000); },
                       "106: Not enough memory for waveform file x.wav!", rlim_t{256} << 20);
#endif
}

}  // namespace
}  // namespace morvane
