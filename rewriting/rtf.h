// Rich Text Format for word processors, which keep its ruby and colours where they drop those of
// HTML: ruby as EQ fields, colours from a colour table, Japanese as \uN escapes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::reading::rtf {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

struct Font {
  std::string name = "IPAゴシック";  // UTF-8
  std::string alternative;           // the reader's choice when it lacks `name`; may be empty
  int halfPoints = 24;               // the size of every character
};

// Builds one document a piece at a time. Text is UTF-8: LF, CR LF, a lone CR and U+2029 end a
// paragraph, U+2028 breaks the line within one, a tab is a tab, NUL becomes U+FFFD. A piece
// without a colour takes the reader's default.
class Writer {
 public:
  explicit Writer(Font font = {});

  void text(std::string_view utf8, std::optional<Rgb> colour = std::nullopt);
  // `base` with `reading` above it. The field is left without a result: a reader that shows the
  // ruby would show a result beside it as a second base.
  void ruby(std::string_view base, std::string_view reading,
            std::optional<Rgb> colour = std::nullopt);
  void paragraph();

  std::string finish() &&;

 private:
  void setColour(std::optional<Rgb> colour);

  Font font_;
  std::string body_;
  std::vector<Rgb> colours_;  // the colour table after its first, default entry
  std::optional<Rgb> colour_;
  bool afterCr_ = false;
};

}  // namespace torvane::reading::rtf
