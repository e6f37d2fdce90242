#include "documents/zip_package.h"

#include <zip.h>

#include "documents/document.h"

namespace torvane::documents {
namespace {

[[noreturn]] void damaged(const std::string& why) {
  throw DocumentError(ErrorKind::DamagedPackage, "the package is damaged: " + why);
}

std::string zipMessage(zip_error_t* error) {
  std::string message = zip_error_strerror(error);
  zip_error_fini(error);
  return message;
}

// An archive over a memory buffer that it does not own (libzip writes into a copy).
zip_t* openArchive(std::string_view bytes, zip_source_t** sourceOut, int flags) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (source == nullptr) damaged(zipMessage(&error));
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
    zip_source_t* data = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
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
    zip_set_file_compression(archive, index, entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
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
                          ratioTooHigh ? "the package holds an entry compressed more than 100 to 1"
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
