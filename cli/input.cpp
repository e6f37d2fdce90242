#include "cli/input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::cli {
namespace {

std::string readAll(std::FILE* stream, const std::string& name) {
  std::string bytes;
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
  const sjis::Utf8Decoded decoded = sjis::decodeUtf8(std::string_view(bytes).substr(skipped));
  if (decoded.invalidAt) {
    throw InputError("invalid UTF-8 at byte offset " +
                     std::to_string(*decoded.invalidAt + skipped));
  }
  bytes.clear();
  bytes.shrink_to_fit();
  return sjis::encode(decoded.text, sjis::LineBreaks::ToCrLf).text;
}

}  // namespace torvane::cli
