#pragma once
// Builds WAV files byte by byte for the loader tests, and a temporary folder to put them in.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace morvane::testing {

using Bytes = std::vector<uint8_t>;

inline void putU16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void putU32(Bytes& out, uint32_t v) {
  putU16(out, v & 0xFFFF);
  putU16(out, v >> 16);
}

inline void putId(Bytes& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

// A chunk whose size field is the body's length, padded to even.
inline Bytes chunk(const char* id, const Bytes& body) {
  Bytes out;
  putId(out, id);
  putU32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2 != 0) out.push_back(0);
  return out;
}

// A chunk header that claims `declaredSize` bytes, followed by `body` only.
inline Bytes chunkClaiming(const char* id, uint32_t declaredSize, const Bytes& body) {
  Bytes out;
  putId(out, id);
  putU32(out, declaredSize);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// "RIFF", the size of what follows, the form type, then the chunks.
inline Bytes riff(const char* form, const std::vector<Bytes>& chunks) {
  Bytes body;
  putId(body, form);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes out;
  putId(out, "RIFF");
  putU32(out, static_cast<uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// A 16-byte "fmt " body; block alignment and byte rate follow from the other fields unless given.
inline Bytes fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                     int blockAlign = -1) {
  const uint16_t align =
      blockAlign >= 0 ? static_cast<uint16_t>(blockAlign) : static_cast<uint16_t>(channels * bits / 8);
  Bytes out;
  putU16(out, tag);
  putU16(out, channels);
  putU32(out, rate);
  putU32(out, rate * align);
  putU16(out, align);
  putU16(out, bits);
  return out;
}

inline Bytes pcmFmt(uint16_t channels, uint32_t rate, uint16_t bits) {
  return chunk("fmt ", fmtBody(1, channels, rate, bits));
}

// 16-bit samples, little-endian.
inline Bytes samples16(const std::vector<int16_t>& values) {
  Bytes out;
  for (int16_t v : values) putU16(out, static_cast<uint16_t>(v));
  return out;
}

inline Bytes pcmWav(uint16_t channels, uint32_t rate, const std::vector<int16_t>& values) {
  return riff("WAVE", {pcmFmt(channels, rate, 16), chunk("data", samples16(values))});
}

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "morvane-sound-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path() const { return path_.string(); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

  void write(const std::string& name, const Bytes& bytes) const {
    std::FILE* f = std::fopen(file(name).c_str(), "wb");
    if (f == nullptr) std::abort();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace morvane::testing
