#include "request/input.h"

#include <string_view>

#include "sjis/codec.h"

namespace torvane::request {

reading::DecodedText decode(InputText input, bool keepSource) {
  if (input.encoding == InputText::Encoding::ShiftJis) {
    sjis::SjisText text{std::move(input.bytes), {}};
    if (keepSource) return reading::decodeWithSourceMap(std::move(text));
    reading::DecodedText decoded;
    decoded.converted.text = std::move(text);
    return decoded;
  }
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  const std::size_t skipped = std::string_view(input.bytes).starts_with(kByteOrderMark) ? 3 : 0;
  input.bytes.erase(0, skipped);  // so the source map counts from the text's first character
  const std::string_view utf8 = input.bytes;
  // Decoded and converted in one go, without a whole decoded copy in between. No character takes
  // more bytes in Shift_JIS than in UTF-8 but a lone LF or CR, which becomes CR LF, so the input's
  // size is room enough for most texts.
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf, keepSource);
  encoder.reserve(utf8.size());
  if (const auto invalidAt = encoder.appendUtf8(utf8)) {
    throw InputError("invalid UTF-8 at byte offset " + std::to_string(*invalidAt + skipped));
  }
  reading::DecodedText decoded;
  decoded.converted = std::move(encoder).finish(static_cast<std::uint32_t>(utf8.size()));
  if (keepSource) decoded.utf8 = std::move(input.bytes);
  return decoded;
}

}  // namespace torvane::request
