#include "documents/text_file.h"

#include <errno.h>
#include <iconv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <optional>

#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::documents {
namespace {

const char* iconvName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8: return "UTF-8";
    case TextEncoding::Utf16Le: return "UTF-16LE";
    case TextEncoding::Utf16Be: return "UTF-16BE";
    case TextEncoding::Cp932: return "CP932";
    case TextEncoding::EucJp: return "EUC-JP";
    case TextEncoding::Iso2022Jp: return "ISO-2022-JP";
  }
  return "UTF-8";
}

struct Conversion {
  std::string out;
  std::optional<std::size_t> failedAt;  // input byte offset of the first unconvertible sequence
};

// Strict: stops at the first sequence the source encoding lacks or that the target cannot hold.
Conversion convert(std::string_view in, const char* from, const char* to) {
  Conversion result;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    result.failedAt = 0;
    return result;
  }
  result.out.resize(in.size() * 2 + 16);
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  std::size_t produced = 0;
  while (true) {
    char* outPtr = result.out.data() + produced;
    std::size_t outLeft = result.out.size() - produced;
    const std::size_t rc = inLeft == 0 ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                                       : iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    produced = result.out.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) {
      result.out.resize(result.out.size() * 2);
      continue;
    }
    result.failedAt = static_cast<std::size_t>(inPtr - in.data());
    break;
  }
  iconv_close(cd);
  result.out.resize(produced);
  return result;
}

// Every line end as CR LF; the kind of the first one found.
std::string toCrLf(std::string_view text, LineEnd& first) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  bool seen = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    LineEnd kind = c == '\n' ? LineEnd::Lf : LineEnd::Cr;
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      kind = LineEnd::CrLf;
      ++i;
    }
    if (!seen) first = kind;
    seen = true;
    out += "\r\n";
  }
  if (!seen) first = LineEnd::CrLf;
  return out;
}

OpenedDocument opened(std::string_view utf8, TextEncoding encoding, bool byteOrderMark) {
  OpenedDocument document;
  document.format = DocumentFormat::Text;
  document.encoding = encoding;
  document.byteOrderMark = byteOrderMark;
  document.text = toCrLf(utf8, document.lineEnd);
  return document;
}

[[noreturn]] void undecodable(std::string_view what, std::size_t offset) {
  throw DocumentError(ErrorKind::UndecodableText,
                      std::string(what) + " at byte offset " + std::to_string(offset), offset);
}

// Shift_JIS, EUC-JP and ISO-2022-JP in the order ICU's detector trusts them, the untrusted
// ones last in that fixed order.
std::array<TextEncoding, 3> byConfidence(std::string_view bytes) {
  std::array<std::pair<int, TextEncoding>, 3> ranked{
      {{-1, TextEncoding::Cp932}, {-1, TextEncoding::EucJp}, {-1, TextEncoding::Iso2022Jp}}};
  UErrorCode status = U_ZERO_ERROR;
  UCharsetDetector* detector = ucsdet_open(&status);
  // The detector's statistics settle long before a megabyte.
  const std::size_t sample = std::min<std::size_t>(bytes.size(), 1 << 20);
  ucsdet_setText(detector, bytes.data(), static_cast<int32_t>(sample), &status);
  int32_t count = 0;
  const UCharsetMatch** matches = ucsdet_detectAll(detector, &count, &status);
  for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i) {
    const std::string_view name = ucsdet_getName(matches[i], &status);
    const int confidence = ucsdet_getConfidence(matches[i], &status);
    for (auto& [score, encoding] : ranked) {
      const bool same = (name == "Shift_JIS" && encoding == TextEncoding::Cp932) ||
                        (name == "EUC-JP" && encoding == TextEncoding::EucJp) ||
                        (name == "ISO-2022-JP" && encoding == TextEncoding::Iso2022Jp);
      if (same) score = std::max(score, confidence);
    }
  }
  ucsdet_close(detector);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  return {ranked[0].second, ranked[1].second, ranked[2].second};
}

std::optional<std::size_t> firstInvalidUtf8(std::string_view bytes) {
  return sjis::forEachUtf8(bytes, [](char32_t, std::size_t) {});
}

}  // namespace

OpenedDocument openTextFile(std::string_view bytes, EncodingChoice choice) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  if (choice == EncodingChoice::Cp932) {
    // As told: every byte checked as it stands, a malformed one as U+FFFD.
    return opened(sjis::toUtf8(sjis::SjisText{std::string(bytes), {}}), TextEncoding::Cp932, false);
  }
  const bool utf8Bom = bytes.starts_with(kUtf8Bom);
  if (choice == EncodingChoice::Utf8 || utf8Bom) {
    const std::string_view body = bytes.substr(utf8Bom ? 3 : 0);
    if (const auto bad = firstInvalidUtf8(body))
      undecodable("invalid UTF-8", *bad + (utf8Bom ? 3 : 0));
    return opened(body, TextEncoding::Utf8, utf8Bom);
  }
  for (const auto& [bom, encoding] :
       {std::pair{std::string_view("\xFF\xFE"), TextEncoding::Utf16Le},
        std::pair{std::string_view("\xFE\xFF"), TextEncoding::Utf16Be}}) {
    if (!bytes.starts_with(bom)) continue;
    const Conversion decoded = convert(bytes.substr(2), iconvName(encoding), "UTF-8");
    if (decoded.failedAt)
      undecodable("invalid " + std::string(encodingName(encoding)), *decoded.failedAt + 2);
    return opened(decoded.out, encoding, true);
  }
  if (!firstInvalidUtf8(bytes)) return opened(bytes, TextEncoding::Utf8, false);

  const std::array<TextEncoding, 3> candidates = byConfidence(bytes);
  std::optional<std::size_t> bestFailure;
  for (const TextEncoding encoding : candidates) {
    Conversion decoded = convert(bytes, iconvName(encoding), "UTF-8");
    if (!decoded.failedAt) return opened(decoded.out, encoding, false);
    if (!bestFailure) bestFailure = decoded.failedAt;
  }
  undecodable("no encoding decodes the text (UTF-8, Shift_JIS, EUC-JP, ISO-2022-JP); " +
                  std::string(encodingName(candidates[0])) + " fails",
              *bestFailure);
}

std::string encodeText(std::string_view utf8, TextEncoding encoding, LineEnd lineEnd,
                       bool byteOrderMark) {
  const std::string_view end = lineEnd == LineEnd::CrLf ? "\r\n"
                               : lineEnd == LineEnd::Lf ? "\n"
                                                        : "\r";
  std::string lines;
  lines.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c != '\r' && c != '\n') {
      lines += c;
      continue;
    }
    if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    lines += end;
  }
  std::string out;
  if (byteOrderMark) {
    if (encoding == TextEncoding::Utf8) out = "\xEF\xBB\xBF";
    if (encoding == TextEncoding::Utf16Le) out = "\xFF\xFE";
    if (encoding == TextEncoding::Utf16Be) out = "\xFE\xFF";
  }
  if (encoding == TextEncoding::Utf8) return out + lines;
  const Conversion encoded = convert(lines, "UTF-8", iconvName(encoding));
  if (encoded.failedAt) {
    throw DocumentError(ErrorKind::UndecodableText,
                        "the text has a character that " + std::string(encodingName(encoding)) +
                            " cannot hold, at byte offset " + std::to_string(*encoded.failedAt) +
                            " of its UTF-8",
                        *encoded.failedAt);
  }
  return out + encoded.out;
}

}  // namespace torvane::documents
