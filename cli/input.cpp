#include "cli/input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace torvane::cli {
namespace {

std::string readAll(std::FILE* stream, const std::string& name) {
  std::string bytes;
  // A file's size is known up front: one buffer, no copies as it grows.
  struct stat status {};
  if (fstat(fileno(stream), &status) == 0 && S_ISREG(status.st_mode)) {
    bytes.reserve(static_cast<std::size_t>(status.st_size) + 1);
  }
  char buffer[1 << 16];
  for (;;) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, stream);
    bytes.append(buffer, got);
    if (got < sizeof buffer) break;
  }
  if (std::ferror(stream)) {
    throw InputError("cannot read " + name + ": " + std::strerror(errno));
  }
  return bytes;
}

}  // namespace

std::string readInput(const std::optional<std::string>& file) {
  if (!file) return readAll(stdin, "standard input");
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(file->c_str(), "rb"),
                                                               &std::fclose);
  if (!stream) throw InputError("cannot read '" + *file + "': " + std::strerror(errno));
  return readAll(stream.get(), "'" + *file + "'");
}

namespace {

// A list file, read no further than one byte past the largest list, so a wrong file given by
// mistake (a video, a disk image) is refused without being read whole.
std::string readList(const std::string& file) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(std::fopen(file.c_str(), "rb"),
                                                               &std::fclose);
  if (!stream) throw InputError("cannot read '" + file + "': " + std::strerror(errno));
  std::string bytes(checker::kMaxListFileBytes + 1, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), stream.get()));
  if (std::ferror(stream.get())) {
    throw InputError("cannot read '" + file + "': " + std::strerror(errno));
  }
  return bytes;
}

template <class Parsed>
auto parsedOrThrow(Parsed parsed, const std::string& file) {
  if (const auto* problem = std::get_if<checker::ListProblem>(&parsed)) {
    throw InputError(checker::describeInEnglish(*problem, "'" + file + "'"));
  }
  return std::get<0>(std::move(parsed));
}

}  // namespace

std::optional<checker::ClassSettings> readClassSettings(const Options& options) {
  if (!options.knownFile && !options.allowFile) return std::nullopt;
  checker::ClassSettings settings;
  if (options.knownFile) {
    settings.known =
        parsedOrThrow(checker::parseKnownKanji(readList(*options.knownFile)), *options.knownFile)
            .kanji;
  }
  if (options.allowFile) {
    settings.allowed =
        parsedOrThrow(checker::parseAllowedWords(readList(*options.allowFile)), *options.allowFile);
  }
  return settings;
}

request::InputText readInput(const Options& options) {
  std::string bytes = readInput(options.file);
  return options.encoding == InputEncoding::Cp932 ? request::InputText::shiftJis(std::move(bytes))
                                                  : request::InputText::utf8(std::move(bytes));
}

}  // namespace torvane::cli
