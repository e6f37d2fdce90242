#include "cli/input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

#include "sjis/codec.h"
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

sjis::SjisText toSjisText(std::string bytes, InputEncoding encoding) {
  if (encoding == InputEncoding::Cp932) return sjis::SjisText{std::move(bytes), {}};
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const std::size_t skipped = std::string_view(bytes).starts_with(kByteOrderMark) ? 3 : 0;
  const std::string_view utf8 = std::string_view(bytes).substr(skipped);
  // Decoded and converted in one go, without a whole decoded copy in between. No character takes
  // more bytes in Shift_JIS than in UTF-8 but a lone LF or CR, which becomes CR LF, so the input's
  // size is room enough for most texts.
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
  encoder.reserve(utf8.size());
  if (const auto invalidAt = encoder.appendUtf8(utf8)) {
    throw InputError("invalid UTF-8 at byte offset " + std::to_string(*invalidAt + skipped));
  }
  return std::move(encoder).finish(0).text;
}

reading::DecodedText toMappedText(std::string bytes, InputEncoding encoding) {
  if (encoding == InputEncoding::Cp932) {
    return reading::decodeWithSourceMap(sjis::SjisText{std::move(bytes), {}});
  }
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const std::size_t skipped = std::string_view(bytes).starts_with(kByteOrderMark) ? 3 : 0;
  reading::DecodedText mapped;
  mapped.utf8 = bytes.substr(skipped);
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, /*keepSourceMap=*/true);
  encoder.reserve(mapped.utf8.size());
  if (const auto invalidAt = encoder.appendUtf8(mapped.utf8)) {
    throw InputError("invalid UTF-8 at byte offset " + std::to_string(*invalidAt + skipped));
  }
  mapped.converted = std::move(encoder).finish(static_cast<std::uint32_t>(mapped.utf8.size()));
  return mapped;
}

}  // namespace torvane::cli
