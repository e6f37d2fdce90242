// ZIP packages through libzip, held in memory: entries read with the limits a document has, and
// packages written with some entries replaced and the others copied raw.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane::documents {

// A 200 MB document is ten novels with their pictures; a larger package is a ZIP bomb.
inline constexpr std::uint64_t kMaxUnpackedSize = 200ull << 20;
// XML deflates to a tenth of its size; even one sentence repeated a million times, as a
// teacher's test file may be, stays under 300 to 1 (each 258-byte match costs a byte or so).
// Only a run of one byte or two goes past 500 to 1: such an entry is built to explode.
inline constexpr std::uint64_t kMaxCompressionRatio = 500;
// Below this an entry is too small to matter whatever its ratio (an empty part deflates well).
inline constexpr std::uint64_t kRatioFloor = 1 << 20;

class ZipReader {
 public:
  // Throws DocumentError: DamagedPackage when it is no readable ZIP, TooLarge when the sizes its
  // directory declares are past the limits (checked before anything is inflated).
  explicit ZipReader(std::string_view bytes);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  bool has(std::string_view name) const;
  // Every entry's name, in the order of the directory.
  std::vector<std::string> names() const;
  // The entry inflated, never more than its declared size. Throws DocumentError.
  std::string read(std::string_view name) const;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

struct ZipEntry {
  std::string name;
  std::string bytes;
  bool stored = false;  // written uncompressed (an .odt's mimetype must be)
};

// `original` with the named entries replaced by new contents; every other entry is copied with
// its compressed bytes as they were. Throws DocumentError.
std::string replaceEntries(std::string_view original, const std::vector<ZipEntry>& replaced);

// A new package of these entries, in this order.
std::string buildZip(const std::vector<ZipEntry>& entries);

}  // namespace torvane::documents
