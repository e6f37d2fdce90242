#include "rewriting/rtf.h"

#include <algorithm>
#include <cstdio>

#include "sjis/codec.h"
#include "sjis/utf8.h"

namespace torvane::reading::rtf {
namespace {

// Calls visit for each character of the text; a byte that starts no valid sequence is U+FFFD.
template <class Visit>
void forEachChar(std::string_view utf8, Visit&& visit) {
  while (!utf8.empty()) {
    const std::optional<std::size_t> bad = sjis::forEachUtf8(utf8, visit);
    if (!bad) return;
    visit(U'\uFFFD', *bad);
    utf8.remove_prefix(*bad + 1);
  }
}

// \uN with N the UTF-16 unit as a signed 16-bit number, as RTF wants it, and '?' for readers
// that know no Unicode (\uc1 says that one character follows).
void appendUnicode(std::string& out, char32_t c) {
  auto unit = [&](unsigned value) {
    out += "\\u";
    out += std::to_string(value > 0x7FFF ? static_cast<int>(value) - 0x10000
                                         : static_cast<int>(value));
    out += '?';
  };
  if (c >= 0x10000) {
    c -= 0x10000;
    unit(0xD800 + (c >> 10));
    unit(0xDC00 + (c & 0x3FF));
  } else {
    unit(c);
  }
}

// One character of running text, with no meaning to RTF.
void appendPlain(std::string& out, char32_t c) {
  if (c == U'\\' || c == U'{' || c == U'}') {
    out += '\\';
    out += static_cast<char>(c);
  } else if (c >= 0x20 && c < 0x7F) {
    out += static_cast<char>(c);
  } else {
    appendUnicode(out, c == 0 ? U'\uFFFD' : c);
  }
}

// The characters that would end an argument of an EQ field. Word puts a backslash before them,
// which Writer does not read.
bool breaksField(std::string_view utf8) {
  return utf8.find_first_of("(),\\\n\r") != std::string_view::npos;
}

// A font name in the code page the font table declares, as word processors write it; a
// character the code page lacks as \uN.
void appendFontName(std::string& out, std::string_view utf8) {
  const sjis::Cp932& cp932 = sjis::Cp932::get();
  forEachChar(utf8, [&](char32_t c, std::size_t) {
    if (c == U';' || c == U'\\' || c == U'{' || c == U'}') return;  // would end the entry
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      return;
    }
    const std::optional<sjis::SjisChar> code = cp932.encode(c);
    if (!code) {
      appendUnicode(out, c);
      return;
    }
    char hex[16];
    if (code->length() == 2) {
      std::snprintf(hex, sizeof hex, "\\'%02x\\'%02x", code->code() >> 8u, code->code() & 0xFFu);
    } else {
      std::snprintf(hex, sizeof hex, "\\'%02x", code->code() & 0xFFu);
    }
    out += hex;
  });
}

}  // namespace

Writer::Writer(Font font) : font_(std::move(font)) {}

// A coloured run is a group of its own: outside it the reader's default holds, where \cf0 would
// make Writer's automatic colour a colour of the run.
void Writer::setColour(std::optional<Rgb> colour) {
  if (colour == colour_) return;
  if (colour_) body_ += '}';
  colour_ = colour;
  if (!colour) return;
  auto at = std::find(colours_.begin(), colours_.end(), *colour);
  if (at == colours_.end()) at = colours_.insert(colours_.end(), *colour);
  body_ += "{\\cf" + std::to_string(at - colours_.begin() + 1) + ' ';
}

void Writer::text(std::string_view utf8, std::optional<Rgb> colour) {
  forEachChar(utf8, [&](char32_t c, std::size_t) {
    const bool afterCr = afterCr_;
    afterCr_ = c == U'\r';
    if (c == U'\n' && afterCr) return;
    if (c == U'\n' || c == U'\r' || c == U'\u2029') {
      paragraph();
      afterCr_ = c == U'\r';
      return;
    }
    setColour(colour);
    if (c == U'\u2028') {
      body_ += "\\line\n";
    } else if (c == U'\t') {
      body_ += "\\tab ";
    } else {
      appendPlain(body_, c);
    }
  });
}

void Writer::ruby(std::string_view base, std::string_view reading, std::optional<Rgb> colour) {
  if (breaksField(base) || breaksField(reading)) {
    // Kept whole, the reading in brackets after its word.
    text(base, colour);
    text("（", colour);
    text(reading, colour);
    text("）", colour);
    return;
  }
  afterCr_ = false;
  setColour(colour);
  const int rubyHalfPoints = std::max(1, font_.halfPoints / 2);
  // Raised by a little less than the base's height, in points, as word processors write it.
  const int raise = std::max(1, font_.halfPoints / 2 - 1);
  body_ += "{\\field{\\*\\fldinst{ EQ \\\\* jc2 \\\\* \"Font:";
  forEachChar(font_.name, [&](char32_t c, std::size_t) {
    if (c != U'"') appendPlain(body_, c);
  });
  body_ += "\" \\\\* hps" + std::to_string(rubyHalfPoints) + " \\\\o\\\\ad(\\\\s\\\\up " +
           std::to_string(raise) + "(";
  forEachChar(reading, [&](char32_t c, std::size_t) { appendPlain(body_, c); });
  body_ += "),";
  forEachChar(base, [&](char32_t c, std::size_t) { appendPlain(body_, c); });
  body_ += ")}}{\\fldrslt }}";
}

// A paragraph mark outside any colour group, so the group never spans paragraphs.
void Writer::paragraph() {
  afterCr_ = false;
  setColour(std::nullopt);
  body_ += "\\par\n";
}

std::string Writer::finish() && {
  std::string out =
      "{\\rtf1\\ansi\\ansicpg932\\uc1\\deff0\\deflang1041{\\fonttbl{\\f0\\fnil\\fcharset128 ";
  appendFontName(out, font_.name);
  if (!font_.alternative.empty()) {
    out += "{\\*\\falt ";
    appendFontName(out, font_.alternative);
    out += '}';
  }
  out += ";}}\n{\\colortbl;";
  for (const Rgb colour : colours_) {
    out += "\\red" + std::to_string(colour >> 16 & 0xFF) + "\\green" +
           std::to_string(colour >> 8 & 0xFF) + "\\blue" + std::to_string(colour & 0xFF) + ';';
  }
  out += "}\n\\pard\\plain\\f0\\fs" + std::to_string(font_.halfPoints) + "\\lang1041 ";
  out += body_;
  if (colour_) out += '}';
  out += "}\n";
  return out;
}

}  // namespace torvane::reading::rtf
