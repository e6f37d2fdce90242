#include "sjis/codec.h"

#include <iconv.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include <bit>
#include <cerrno>
#include <stdexcept>

#include "sjis/utf8.h"

namespace torvane::sjis {
namespace {

constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

class Iconv {
 public:
  Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Iconv() { iconv_close(handle_); }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // One call of iconv; 0, or the errno it failed with.
  int step(char** in, std::size_t* inLeft, char** out, std::size_t* outLeft) {
    return iconv(handle_, in, inLeft, out, outLeft) == static_cast<std::size_t>(-1) ? errno : 0;
  }

  // Converts all of `in` as one unit; the output length, or nothing when iconv refuses it.
  std::optional<std::size_t> convert(const void* in, std::size_t inLength, void* out,
                                     std::size_t outCapacity) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    auto* inPtr = static_cast<char*>(const_cast<void*>(in));
    auto* outPtr = static_cast<char*>(out);
    std::size_t outLeft = outCapacity;
    if (iconv(handle_, &inPtr, &inLength, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLength != 0) {
      return std::nullopt;
    }
    return outCapacity - outLeft;
  }

 private:
  iconv_t handle_;
};

bool isVariationSelector(char32_t c) {
  return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool isZeroWidthFormat(char32_t c) {
  return (c >= 0x200B && c <= 0x200D) || c == 0x2060 || c == 0xFEFF;
}

// The language tag and the tag characters. iconv's CP932 converts the whole block U+E0000 to
// U+E007F to no bytes, its unassigned codes too; those count as any other unknown character.
bool isTag(char32_t c) {
  return c == 0xE0001 || (c >= 0xE0020 && c <= 0xE007F);
}

}  // namespace

// Asks iconv about every character of the Basic Multilingual Plane in one conversion, which
// costs a fraction of one call per character. Each character is followed by a line feed, which
// always converts, and //IGNORE passes over the characters without a code, so what stands
// between two line feeds is the code of one character, or nothing.
void Cp932::fillEncodeTable() {
  std::vector<char32_t> in;
  in.reserve(0x20000);
  for (char32_t c = 0; c < 0x10000; ++c) {
    in.push_back(c);
    in.push_back(U'\n');
  }
  std::vector<unsigned char> out(0x40000);
  Iconv toSjis("CP932//IGNORE", kUtf32);
  auto* inPtr = reinterpret_cast<char*>(in.data());
  std::size_t inLeft = in.size() * sizeof(char32_t);
  auto* outPtr = reinterpret_cast<char*>(out.data());
  std::size_t outLeft = out.size();
  // glibc reports the passed-over characters as EILSEQ after each stretch and goes on when asked.
  for (std::size_t before = 0; inLeft > 0 && inLeft != before;) {
    before = inLeft;
    if (toSjis.step(&inPtr, &inLeft, &outPtr, &outLeft) != EILSEQ) break;
  }
  if (inLeft > 0) throw std::runtime_error("iconv stopped converting to CP932");
  out.resize(out.size() - outLeft);

  encodeCode_.assign(0x10000, kNoCode);
  std::size_t k = 0;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c == U'\n') {
      encodeCode_[c] = '\n';
      ++k;
    } else if (k < out.size() && out[k] != '\n') {
      const bool pair = isLeadRange(out[k]) && k + 1 < out.size();
      encodeCode_[c] = pair ? static_cast<std::uint16_t>(out[k] << 8 | out[k + 1]) : out[k];
      k += pair ? 2 : 1;
    }
    if (k >= out.size() || out[k] != '\n') throw std::runtime_error("iconv's CP932 out of step");
    ++k;
  }
}

Cp932::Cp932() : decodePair_(0x10000) {
  fillEncodeTable();
  asciiIsItself_ = true;
  for (char32_t c = 0; c < 0x80; ++c) asciiIsItself_ = asciiIsItself_ && encodeCode_[c] == c;

  Iconv toUnicode(kUtf32, "CP932");
  auto decodeOne = [&toUnicode](const unsigned char* bytes, std::size_t length) {
    char32_t out[4];
    return toUnicode.convert(bytes, length, out, sizeof out) == sizeof(char32_t) ? out[0]
                                                                                 : kReplacementChar;
  };
  for (unsigned byte = 0; byte < 256; ++byte) {
    const unsigned char in[1] = {static_cast<unsigned char>(byte)};
    decodeSingle_[byte] = decodeOne(in, 1);
  }
  for (unsigned lead = 0; lead < 256; ++lead) {
    if (!isLeadRange(static_cast<std::uint8_t>(lead))) continue;
    for (unsigned trail = 0; trail < 256; ++trail) {
      const unsigned char in[2] = {static_cast<unsigned char>(lead),
                                   static_cast<unsigned char>(trail)};
      decodePair_[lead << 8 | trail] = decodeOne(in, 2);
    }
  }
}

const Cp932& Cp932::get() {
  static const Cp932 instance;
  return instance;
}

bool joinsNeighbour(char32_t character) {
  return isVariationSelector(character) || isZeroWidthFormat(character) || isTag(character);
}

WithoutCode withoutCode(char32_t character) {
  character = placeholderFor(character);
  if (u_charType(static_cast<UChar32>(character)) == U_SPACE_SEPARATOR) return WithoutCode::Space;
  return joinsNeighbour(character) ? WithoutCode::Joins : WithoutCode::Placeholder;
}

SjisEncoder::SjisEncoder(LineBreaks lineBreaks, bool keepSourceMap)
    : codePage_(Cp932::get()), lineBreaks_(lineBreaks), keepSourceMap_(keepSourceMap) {}

void SjisEncoder::reserve(std::size_t bytes) {
  out_.text.bytes.reserve(bytes);
  if (keepSourceMap_) out_.sourceOf.reserve(bytes + 1);
}

void SjisEncoder::appendSlowly(char32_t character, std::uint32_t sourcePosition) {
  if (lineBreaks_ == LineBreaks::ToCrLf) {
    const bool afterCr = afterCr_;
    afterCr_ = character == U'\r';
    if (character == U'\n' && afterCr) {
      // The LF of a CR LF pair: its byte was written with the CR; it now maps to the LF.
      if (keepSourceMap_) out_.sourceOf.back() = sourcePosition;
      return;
    }
    if (isLineBreak(character)) {
      emit('\r', sourcePosition);
      emit('\n', sourcePosition);
      return;
    }
  }
  afterCr_ = false;
  switch (withoutCode(character)) {
    case WithoutCode::Space: emit(' ', sourcePosition); break;
    case WithoutCode::Joins: break;
    case WithoutCode::Placeholder:
      out_.text.foreign.push_back({out_.text.bytes.size(), placeholderFor(character)});
      emit(kPlaceholderLead, sourcePosition);
      emit(kPlaceholderTrail, sourcePosition);
      break;
  }
}

std::optional<std::size_t> SjisEncoder::appendUtf8(std::string_view utf8,
                                                   std::uint32_t sourceBase) {
  const auto appendFrom = [this, sourceBase](std::size_t stretchStart) {
    return [this, at = sourceBase + static_cast<std::uint32_t>(stretchStart)](char32_t character,
                                                                              std::size_t offset) {
      append(character, at + static_cast<std::uint32_t>(offset));
    };
  };
  if (!codePage_.asciiIsItself() || keepSourceMap_) return forEachUtf8(utf8, appendFrom(0));
  // A run of ASCII without line breaks is its own Shift_JIS text, so it is copied as it stands;
  // the stretches between such runs are decoded. No multi-byte sequence holds an ASCII byte, so
  // the decoder sees each stretch as it would see it inside the whole text.
  const auto plainAscii = [](char byte) {
    return static_cast<std::uint8_t>(byte) < 0x80 && byte != '\r' && byte != '\n';
  };
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    std::size_t end = i;
    while (end < n && plainAscii(utf8[end])) ++end;
    if (end > i) {
      out_.text.bytes.append(utf8.data() + i, end - i);
      afterCr_ = false;
      i = end;
    }
    while (end < n && !plainAscii(utf8[end])) ++end;
    if (const auto bad = forEachUtf8(utf8.substr(i, end - i), appendFrom(i))) return i + *bad;
    i = end;
  }
  return std::nullopt;
}

void SjisEncoder::appendUtf16(std::u16string_view utf16, std::uint32_t sourceBase) {
  const char16_t* s = utf16.data();
  const auto n = static_cast<std::int64_t>(utf16.size());
  for (std::int64_t i = 0; i < n;) {
    const std::int64_t start = i;
    UChar32 c;
    U16_NEXT(s, i, n, c);  // a lone surrogate comes as itself; append makes it U+FFFD
    append(static_cast<char32_t>(c), sourceBase + static_cast<std::uint32_t>(start));
  }
}

EncodedText SjisEncoder::finish(std::uint32_t sourceEnd) && {
  if (keepSourceMap_) out_.sourceOf.push_back(sourceEnd);
  return std::move(out_);
}

// Both reserve two bytes a character or UTF-16 unit: the text never outgrows that, and it is no
// more than the source takes itself.
EncodedText encode(std::u32string_view text, LineBreaks lineBreaks, bool keepSourceMap) {
  SjisEncoder encoder(lineBreaks, keepSourceMap);
  encoder.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    encoder.append(text[i], static_cast<std::uint32_t>(i));
  }
  return std::move(encoder).finish(static_cast<std::uint32_t>(text.size()));
}

EncodedText encodeUtf16(std::u16string_view text, LineBreaks lineBreaks, bool keepSourceMap) {
  SjisEncoder encoder(lineBreaks, keepSourceMap);
  encoder.reserve(text.size() * 2);
  encoder.appendUtf16(text);
  return std::move(encoder).finish(static_cast<std::uint32_t>(text.size()));
}

void appendUtf8(std::string& out, char32_t character) {
  if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
    character = kReplacementChar;  // a lone surrogate from a UTF-16 source has no UTF-8 form
  }
  char buffer[U8_MAX_LENGTH];
  std::size_t length = 0;
  U8_APPEND_UNSAFE(buffer, length, character);
  out.append(buffer, length);
}

std::u32string toUnicode(const SjisText& text) {
  const Cp932& codePage = Cp932::get();
  std::u32string out;
  out.reserve(text.size());
  forEachChar(text, [&](std::size_t, const SjisChar& c) { out.push_back(codePage.decode(c)); });
  return out;
}

std::string toUtf8(const SjisText& text) {
  const Cp932& codePage = Cp932::get();
  std::string out;
  out.reserve(text.size() * 3 / 2);
  forEachChar(text, [&](std::size_t, const SjisChar& c) { appendUtf8(out, codePage.decode(c)); });
  return out;
}

std::string toUtf8(const SjisChar& c) {
  std::string out;
  appendUtf8(out, Cp932::get().decode(c));
  return out;
}

}  // namespace torvane::sjis
