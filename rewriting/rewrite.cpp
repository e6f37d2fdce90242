#include "rewriting/rewrite.h"

#include <algorithm>

#include "reading/kana.h"

#include "checker/colours.h"
#include "rewriting/html.h"
#include "sjis/line_break.h"

namespace torvane::reading {
namespace {

using checker::TextColor;

// Writes the source text piece by piece: line breaks of every kind become one LF (a paragraph
// in HTML), and in HTML runs of red or grey characters go in one element each.
class Writer {
 public:
  explicit Writer(Format format) : format_(format) {
    if (format_ == Format::Html) out_ += html::documentHead();
  }

  void source(std::string_view text, TextColor colour) {
    for (std::size_t i = 0; i < text.size();) {
      const std::size_t breakLength = sjis::lineBreakLengthAt(text, i);
      if (text[i] == '\n' && afterCr_) {
        afterCr_ = false;
        ++i;
        continue;
      }
      afterCr_ = text[i] == '\r';
      if (breakLength != 0) {
        lineBreak();
        i += breakLength;
        continue;
      }
      std::size_t end = i + 1;
      while (end < text.size() && !sjis::mayStartLineBreak(text[end])) ++end;
      plain(text.substr(i, end - i), colour);
      i = end;
    }
  }

  void kana(std::string_view reading) { plain(reading, TextColor::Black); }

  void ruby(std::string_view base, std::string_view reading) {
    afterCr_ = false;
    if (format_ == Format::Text) {
      out_.append("｜").append(base).append("《").append(reading).append("》");
    } else {
      openParagraph();
      setColour(TextColor::Black);
      out_ += "<ruby>";
      html::appendEscaped(out_, base);
      out_ += "<rt>";
      html::appendEscaped(out_, reading);
      out_ += "</rt></ruby>";
    }
  }

  std::string finish() && {
    if (format_ == Format::Html) {
      if (paragraphOpen_) closeParagraph();
      out_ += html::documentTail();
    }
    return std::move(out_);
  }

 private:
  void plain(std::string_view text, TextColor colour) {
    if (text.empty()) return;
    afterCr_ = false;
    if (format_ == Format::Text) {
      out_ += text;
      return;
    }
    openParagraph();
    setColour(colour);
    html::appendEscaped(out_, text);
  }

  void lineBreak() {
    if (format_ == Format::Text) {
      out_ += '\n';
      return;
    }
    // A line break closes the line's paragraph, empty or not; the last line's break opens none.
    openParagraph();
    closeParagraph();
  }

  void openParagraph() {
    if (paragraphOpen_) return;
    out_ += "<p>";
    paragraphOpen_ = true;
  }

  void closeParagraph() {
    setColour(TextColor::Black);
    out_ += "</p>\n";
    paragraphOpen_ = false;
  }

  void setColour(TextColor colour) {
    if (colour == colour_) return;
    if (colour_ != TextColor::Black) out_ += "</span>";
    if (colour == TextColor::Red) out_ += "<span class=\"red\">";
    if (colour == TextColor::Grey) out_ += "<span class=\"grey\">";
    colour_ = colour;
  }

  Format format_;
  std::string out_;
  TextColor colour_ = TextColor::Black;
  bool afterCr_ = false;
  bool paragraphOpen_ = false;
};

// A piece as it is written: its reading in its place, or with ruby.
struct Written {
  const RubyPiece* piece;
  bool kana;
};

}  // namespace

std::vector<RubyPiece> piecesToWrite(const Proposal& p, Mode mode,
                                     std::span<const checker::TextColor> colours,
                                     const sjis::SjisText& text) {
  if (mode == Mode::Keep || p.reading.empty()) return {};
  // Pieces left behind by a reading changed on its own are aligned again, not written stale.
  const std::vector<WordChar> chars = wordChars(text, p.offset, p.length);
  std::vector<RubyPiece> pieces = spellPieces(chars, p.ruby, p.offset) == p.reading
                                      ? p.ruby
                                      : alignRuby(chars, p.reading, p.offset);
  if (mode != Mode::RubyUnlearnt) return pieces;
  std::vector<RubyPiece> unlearnt;
  for (RubyPiece& piece : pieces) {
    std::size_t at = piece.offset;
    bool red = false;
    for (const WordChar& c : wordChars(text, piece.offset, piece.length)) {
      red = red || (at < colours.size() && colours[at] == TextColor::Red && isKanji(c.value));
      at += c.length;
    }
    if (red) unlearnt.push_back(std::move(piece));
  }
  return unlearnt;
}

std::string rewrite(const CheckedText& text, std::span<const Proposal> proposals,
                    std::span<const Mode> modes, Format format) {
  const sjis::SjisText& sjisText = text.converted.text;
  const std::vector<std::uint32_t>& sourceOf = text.converted.sourceOf;
  requireSourceMap(text);
  const std::vector<TextColor> colours = coloursByByte(text.spans, sjisText.size());
  // Every piece written, in text order: proposals never overlap, nor do a word's pieces.
  std::vector<std::vector<RubyPiece>> chosen(std::min(proposals.size(), modes.size()));
  std::vector<Written> pieces;
  for (std::size_t i = 0; i < chosen.size(); ++i) {
    chosen[i] = piecesToWrite(proposals[i], modes[i], colours, sjisText);
    for (const RubyPiece& piece : chosen[i]) pieces.push_back({&piece, modes[i] == Mode::Kana});
  }

  Writer writer(format);
  std::size_t written = 0;  // source bytes written so far
  auto copyTo = [&](std::size_t end, TextColor colour) {
    if (end > written) writer.source(text.utf8.substr(written, end - written), colour);
    if (end > written) written = end;
  };
  // Only the HTML page shows the check's colours.
  auto colourAt = [&](std::size_t offset) {
    return format == Format::Html ? colours[offset] : TextColor::Black;
  };
  if (!sourceOf.empty()) copyTo(sourceOf[0], TextColor::Black);

  std::size_t next = 0;  // the next piece
  std::size_t skipUntil = 0;
  sjis::forEachChar(sjisText, [&](std::size_t offset, const sjis::SjisChar& c) {
    if (offset < skipUntil) return;
    while (next < pieces.size() && pieces[next].piece->offset < offset) ++next;
    if (next < pieces.size() && pieces[next].piece->offset == offset) {
      const RubyPiece& piece = *pieces[next].piece;
      const std::size_t end = std::min(piece.offset + piece.length, sjisText.size());
      const std::size_t from = sourceOf[offset];
      const std::size_t to = sourceOf[end];
      if (pieces[next].kana) {
        writer.kana(piece.reading);
      } else {
        writer.ruby(text.utf8.substr(from, to - from), piece.reading);
      }
      ++next;
      written = to;
      skipUntil = end;
      return;
    }
    copyTo(sourceOf[offset + c.length()], colourAt(offset));
  });
  copyTo(text.utf8.size(), TextColor::Black);
  return std::move(writer).finish();
}

}  // namespace torvane::reading
