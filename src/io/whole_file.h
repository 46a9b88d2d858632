#pragma once
// Reading a data file whole, safely: whatever sits under the name (a FIFO, a device, a huge or
// growing file) neither hangs the game nor fills its memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morvane {

enum class WholeFileStatus {
  ok,
  notFound,    // does not open, or is not a regular file
  tooLarge,    // over the cap, at the start or while it was read
  unreadable,  // a read failed
};

struct WholeFile {
  WholeFileStatus status = WholeFileStatus::notFound;
  uint64_t sizeAtOpen = 0;  // the size the file had when it was opened
};

// Reads a regular file of at most maxBytes into bytes: anything else under the name is refused
// before it is opened; opened read-only, non-blocking and never as the controlling terminal, in
// case the name was swapped meanwhile; read in steps of 64 KiB. A file that shrinks while it is
// read gives what is there. Allocation failure throws std::bad_alloc.
WholeFile readWholeFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& bytes);

}  // namespace morvane
