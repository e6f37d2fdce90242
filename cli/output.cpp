#include "cli/output.h"

#include <algorithm>
#include <charconv>

#include "sjis/codec.h"

namespace torvane::cli {

void OutputStream::write(std::string_view text) {
  while (!text.empty()) {
    const std::size_t piece = std::min(text.size(), kChunk);
    buffer_ += text.substr(0, piece);
    text.remove_prefix(piece);
    flushIfFull();
  }
}

void OutputStream::flush() {
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
}

bool OutputStream::finish() {
  flush();
  return std::fflush(file_) == 0 && !failed_;
}

void appendNumber(std::string& out, std::size_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// Escapes what JSON requires; everything else passes as UTF-8.
void appendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out.push_back('"');
  for (const char ch : utf8) {
    const auto byte = static_cast<unsigned char>(ch);
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out.push_back(kHex[byte >> 4]);
          out.push_back(kHex[byte & 0xF]);
        } else {
          out.push_back(ch);
        }
    }
  }
  out.push_back('"');
}

void appendCharArray(OutputStream& stream, const std::vector<sjis::SjisChar>& entries) {
  const sjis::Cp932& codePage = sjis::Cp932::get();
  std::string& out = stream.buffer();
  out.push_back('[');
  std::string character;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) out += ", ";
    character.clear();
    sjis::appendUtf8(character, codePage.decode(entries[i]));
    appendJsonString(out, character);
    stream.flushIfFull();
  }
  out.push_back(']');
}

}  // namespace torvane::cli
