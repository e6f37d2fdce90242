#include "documents/zip_package.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "documents/document.h"

namespace torvane::documents {
namespace {

// Deflated here through zlib rather than by libzip, whose deflate took seven times as long over
// a part of some megabytes (a round trip's whole budget). zlib's default level.
constexpr int kDeflateLevel = Z_DEFAULT_COMPRESSION;

// An entry's contents already deflated, with the sizes and CRC that say so to libzip, which then
// writes the bytes as they are.
struct Deflated {
  std::string bytes;
  zip_uint64_t size = 0;
  zip_uint32_t crc = 0;
  zip_uint64_t position = 0;
};

Deflated deflateRaw(std::string_view data) {
  Deflated out;
  out.size = data.size();
  out.crc = static_cast<zip_uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  z_stream stream{};
  if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::bad_alloc();
  out.bytes.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.bytes.data());
  stream.avail_out = static_cast<uInt>(out.bytes.size());
  const int rc = deflate(&stream, Z_FINISH);
  out.bytes.resize(stream.total_out);
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) throw DocumentError(ErrorKind::WriteFailed, "cannot deflate an entry");
  return out;
}

zip_int64_t deflatedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  auto* entry = static_cast<Deflated*>(state);
  switch (command) {
    case ZIP_SOURCE_OPEN: entry->position = 0; return 0;
    case ZIP_SOURCE_READ: {
      const zip_uint64_t n = std::min<zip_uint64_t>(length, entry->bytes.size() - entry->position);
      std::memcpy(data, entry->bytes.data() + entry->position, n);
      entry->position += n;
      return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE: return 0;
    case ZIP_SOURCE_STAT: {
      auto* stat = static_cast<zip_stat_t*>(data);
      zip_stat_init(stat);
      stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
      stat->size = entry->size;
      stat->comp_size = entry->bytes.size();
      stat->comp_method = ZIP_CM_DEFLATE;
      stat->crc = entry->crc;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return 2 * sizeof(int);
    case ZIP_SOURCE_FREE: delete entry; return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default: return -1;
  }
}

[[noreturn]] void damaged(const std::string& why) {
  throw DocumentError(ErrorKind::DamagedPackage, "the package is damaged: " + why);
}

std::string zipMessage(zip_error_t* error) {
  std::string message = zip_error_strerror(error);
  zip_error_fini(error);
  return message;
}

// An archive over a memory buffer. One that is written gets a malloc'd copy of its own: libzip
// frees the buffer it was given once it has written the new archive, even one it does not own.
zip_t* openArchive(std::string_view bytes, zip_source_t** sourceOut, int flags) {
  zip_error_t error;
  zip_error_init(&error);
  const bool writable = (flags & ZIP_RDONLY) == 0;
  void* data = const_cast<char*>(bytes.data());
  if (writable) {
    data = std::malloc(bytes.size() + 1);
    if (data == nullptr) throw std::bad_alloc();
    std::memcpy(data, bytes.data(), bytes.size());
  }
  zip_source_t* source = zip_source_buffer_create(data, bytes.size(), writable ? 1 : 0, &error);
  if (source == nullptr) {
    if (writable) std::free(data);
    damaged(zipMessage(&error));
  }
  zip_t* archive = zip_open_from_source(source, flags, &error);
  if (archive == nullptr) {
    zip_source_free(source);
    damaged(zipMessage(&error));
  }
  zip_error_fini(&error);
  if (sourceOut != nullptr) *sourceOut = source;
  return archive;
}

// What zip_close wrote into the source.
std::string sourceBytes(zip_source_t* source) {
  zip_stat_t stat;
  if (zip_source_open(source) < 0 || zip_source_stat(source, &stat) < 0) {
    throw DocumentError(ErrorKind::WriteFailed, "cannot assemble the package");
  }
  std::string out(stat.size, '\0');
  const zip_int64_t got = zip_source_read(source, out.data(), stat.size);
  zip_source_close(source);
  if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size) {
    throw DocumentError(ErrorKind::WriteFailed, "cannot assemble the package");
  }
  return out;
}

void addEntries(zip_t* archive, const std::vector<ZipEntry>& entries, bool replace) {
  for (const ZipEntry& entry : entries) {
    zip_source_t* data = nullptr;
    if (entry.stored) {
      data = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
    } else {
      auto deflated = std::make_unique<Deflated>(deflateRaw(entry.bytes));
      data = zip_source_function(archive, deflatedSource, deflated.get());
      if (data != nullptr) deflated.release();  // the source frees it
    }
    if (data == nullptr) throw DocumentError(ErrorKind::WriteFailed, "cannot add " + entry.name);
    zip_int64_t index = replace ? zip_name_locate(archive, entry.name.c_str(), 0) : -1;
    if (index >= 0) {
      if (zip_file_replace(archive, index, data, 0) < 0) index = -1;
    } else {
      index = zip_file_add(archive, entry.name.c_str(), data, ZIP_FL_ENC_UTF_8);
    }
    if (index < 0) {
      zip_source_free(data);
      throw DocumentError(ErrorKind::WriteFailed, "cannot add " + entry.name);
    }
    if (entry.stored) zip_set_file_compression(archive, index, ZIP_CM_STORE, 0);
  }
}

std::string closeInto(zip_t* archive, zip_source_t* source) {
  zip_source_keep(source);
  if (zip_close(archive) < 0) {
    const std::string why = zip_strerror(archive);
    zip_discard(archive);
    zip_source_free(source);
    throw DocumentError(ErrorKind::WriteFailed, "cannot assemble the package: " + why);
  }
  std::string out;
  try {
    out = sourceBytes(source);
  } catch (...) {
    zip_source_free(source);
    throw;
  }
  zip_source_free(source);
  return out;
}

}  // namespace

struct ZipReader::Handle {
  zip_t* archive = nullptr;
};

ZipReader::ZipReader(std::string_view bytes) : handle_(std::make_unique<Handle>()) {
  handle_->archive = openArchive(bytes, nullptr, ZIP_RDONLY | ZIP_CHECKCONS);
  const zip_int64_t count = zip_get_num_entries(handle_->archive, 0);
  std::uint64_t total = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t stat;
    if (zip_stat_index(handle_->archive, i, 0, &stat) < 0) {
      zip_close(handle_->archive);
      damaged("an entry of its directory cannot be read");
    }
    total += stat.size;
    const bool ratioTooHigh =
        stat.size > kRatioFloor && stat.size / kMaxCompressionRatio > stat.comp_size;
    if (total > kMaxUnpackedSize || ratioTooHigh) {
      zip_discard(handle_->archive);
      throw DocumentError(ErrorKind::TooLarge,
                          ratioTooHigh ? "the package holds an entry compressed more than 500 to 1"
                                       : "the package unpacks to more than 200 MB");
    }
    if (stat.encryption_method != ZIP_EM_NONE) {
      zip_discard(handle_->archive);
      throw DocumentError(ErrorKind::Encrypted, "the package is encrypted");
    }
  }
}

ZipReader::~ZipReader() {
  if (handle_ && handle_->archive != nullptr) zip_discard(handle_->archive);
}

bool ZipReader::has(std::string_view name) const {
  return zip_name_locate(handle_->archive, std::string(name).c_str(), 0) >= 0;
}

std::vector<std::string> ZipReader::names() const {
  std::vector<std::string> out;
  const zip_int64_t count = zip_get_num_entries(handle_->archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(handle_->archive, static_cast<zip_uint64_t>(i), 0);
    out.emplace_back(name != nullptr ? name : "");
  }
  return out;
}

std::string ZipReader::read(std::string_view name) const {
  const std::string entry(name);
  zip_stat_t stat;
  if (zip_stat(handle_->archive, entry.c_str(), 0, &stat) < 0) damaged(entry + " is missing");
  zip_file_t* file = zip_fopen(handle_->archive, entry.c_str(), 0);
  if (file == nullptr) damaged(entry + ": " + zip_strerror(handle_->archive));
  // One byte more than declared, so an entry that inflates past its size is caught, not kept.
  std::string out(stat.size + 1, '\0');
  std::uint64_t got = 0;
  while (got < out.size()) {
    const zip_int64_t n = zip_fread(file, out.data() + got, out.size() - got);
    if (n < 0) {
      const std::string why = zip_file_strerror(file);
      zip_fclose(file);
      damaged(entry + ": " + why);
    }
    if (n == 0) break;
    got += static_cast<std::uint64_t>(n);
  }
  zip_fclose(file);
  if (got != stat.size) damaged(entry + " does not inflate to its declared size");
  out.resize(got);
  return out;
}

std::string replaceEntries(std::string_view original, const std::vector<ZipEntry>& replaced) {
  zip_source_t* source = nullptr;
  zip_t* archive = openArchive(original, &source, 0);
  try {
    addEntries(archive, replaced, /*replace=*/true);
  } catch (...) {
    zip_discard(archive);
    throw;
  }
  return closeInto(archive, source);
}

std::string buildZip(const std::vector<ZipEntry>& entries) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (source == nullptr) throw DocumentError(ErrorKind::WriteFailed, zipMessage(&error));
  zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
  if (archive == nullptr) {
    zip_source_free(source);
    throw DocumentError(ErrorKind::WriteFailed, zipMessage(&error));
  }
  zip_error_fini(&error);
  try {
    addEntries(archive, entries, /*replace=*/false);
  } catch (...) {
    zip_discard(archive);
    throw;
  }
  return closeInto(archive, source);
}

}  // namespace torvane::documents
