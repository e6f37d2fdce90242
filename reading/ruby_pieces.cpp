#include "reading/ruby_pieces.h"

#include <limits>

#include "reading/kana.h"
#include "sjis/codec.h"

namespace torvane::reading {
namespace {

// A run of the word's kana (an anchor), or a run of the characters the reading is for.
struct Unit {
  bool kana = false;
  std::size_t firstChar = 0;
  std::size_t endChar = 0;
  std::u32string hiragana;  // kana units: the run as hiragana
};

std::vector<Unit> unitsOf(std::span<const WordChar> word) {
  std::vector<Unit> units;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char32_t folded = kanaAsHiragana(word[i].value);
    const bool kana = folded != 0;
    if (units.empty() || units.back().kana != kana) units.push_back({kana, i, i, {}});
    units.back().endChar = i + 1;
    if (kana) units.back().hiragana.push_back(folded);
  }
  return units;
}

// What a piece over some units costs: kana inside a piece is a kana the reading could not be
// matched on; a piece beginning or ending with kana, or holding nothing else, is worse still.
constexpr int kInnerKana = 1;
constexpr int kEdgeKana = 100;
constexpr int kOnlyKana = 10000;
constexpr int kNone = std::numeric_limits<int>::max();

// A word too long for the search below (its cost grows with the square of units times
// characters) is one piece: no word the analyser joins comes near this.
constexpr std::size_t kMaxSearch = 1 << 22;

// Finds the cheapest alignment: at every unit either its kana are matched in the reading, or a
// piece starts there and runs over one or more units up to an anchor or the word's end. Among
// alignments of equal cost the first found wins: more pieces, and shorter readings early.
class Aligner {
 public:
  Aligner(const std::vector<Unit>& units, const std::u32string& reading)
      : units_(units),
        reading_(reading),
        width_(reading.size() + 1),
        start_(tableFor(units.size() + 1)),
        anchor_(tableFor(units.size() + 1)) {}

  int cost() { return start(0, 0); }

  // The pieces as [first unit, last unit] with their reading [from, to), in order.
  struct Span {
    std::size_t firstUnit, lastUnit, from, to;
  };
  std::vector<Span> spans() {
    std::vector<Span> out;
    std::size_t i = 0, p = 0;
    bool mustAnchor = false;
    while (i < units_.size()) {
      const State& s = (mustAnchor ? anchor_ : start_)[i * width_ + p];
      if (s.pieceEnd == kAnchor) {
        p += units_[i].hiragana.size();
        ++i;
        mustAnchor = false;
        continue;
      }
      out.push_back({i, s.pieceEnd, p, s.readingEnd});
      i = s.pieceEnd + 1;
      p = s.readingEnd;
      mustAnchor = true;
    }
    return out;
  }

 private:
  static constexpr std::size_t kAnchor = std::numeric_limits<std::size_t>::max();
  struct State {
    bool known = false;
    int cost = kNone;
    std::size_t pieceEnd = kAnchor;  // the piece's last unit; kAnchor: this unit is matched
    std::size_t readingEnd = 0;
  };
  std::vector<State> tableFor(std::size_t units) const {
    return std::vector<State>(units * width_);
  }

  bool matches(std::size_t unit, std::size_t p) const {
    const std::u32string& kana = units_[unit].hiragana;
    return p + kana.size() <= reading_.size() && reading_.compare(p, kana.size(), kana) == 0;
  }

  // Unit i must be matched as an anchor at reading position p.
  int anchor(std::size_t i, std::size_t p) {
    State& s = anchor_[i * width_ + p];
    if (s.known) return s.cost;
    s.known = true;
    if (units_[i].kana && matches(i, p)) {
      const int rest = start(i + 1, p + units_[i].hiragana.size());
      if (rest != kNone) s.cost = rest;
    }
    return s.cost;
  }

  int start(std::size_t i, std::size_t p) {
    if (i == units_.size()) return p == reading_.size() ? 0 : kNone;
    State& s = start_[i * width_ + p];
    if (s.known) return s.cost;
    s.known = true;
    if (units_[i].kana) s.cost = anchor(i, p);
    const int first = units_[i].kana ? kEdgeKana : 0;
    int inner = 0;  // kana between the piece's first and last unit
    bool bearing = false;
    for (std::size_t j = i; j < units_.size(); ++j) {
      if (j > i + 1 && units_[j - 1].kana) inner += kInnerKana;
      bearing = bearing || !units_[j].kana;
      const int own =
          first + inner + (j != i && units_[j].kana ? kEdgeKana : 0) + (bearing ? 0 : kOnlyKana);
      if (own >= s.cost) continue;
      const bool last = j + 1 == units_.size();
      for (std::size_t q = p + 1; q <= reading_.size(); ++q) {
        if (last && q != reading_.size()) continue;
        const int rest = last ? 0 : anchor(j + 1, q);
        if (rest == kNone || own + rest >= s.cost) continue;
        s.cost = own + rest;
        s.pieceEnd = j;
        s.readingEnd = q;
      }
    }
    return s.cost;
  }

  const std::vector<Unit>& units_;
  const std::u32string& reading_;
  std::size_t width_;
  std::vector<State> start_;
  std::vector<State> anchor_;
};

std::string utf8Of(const std::u32string& text, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) sjis::appendUtf8(out, text[i]);
  return out;
}

}  // namespace

std::vector<WordChar> wordChars(const sjis::SjisText& text, std::size_t offset,
                                std::size_t length) {
  std::vector<WordChar> chars;
  const sjis::SjisText word = sjis::slice(text, offset, length);
  const sjis::Cp932& codePage = sjis::Cp932::get();
  sjis::forEachChar(word, [&](std::size_t, const sjis::SjisChar& c) {
    chars.push_back({codePage.decode(c), c.length()});
  });
  return chars;
}

std::vector<WordChar> wordCharsOfUtf8(std::string_view utf8) {
  sjis::SjisEncoder encoder(sjis::LineBreaks::ToCrLf);
  encoder.appendUtf8(utf8);  // a word is whole characters of valid text
  const sjis::SjisText text =
      std::move(encoder).finish(static_cast<std::uint32_t>(utf8.size())).text;
  return wordChars(text, 0, text.size());
}

std::vector<RubyPiece> alignRuby(std::span<const WordChar> word, std::string_view reading,
                                 std::size_t offset) {
  const std::u32string r = codePoints(reading);
  if (r.empty() || word.empty()) return {};
  const std::vector<Unit> units = unitsOf(word);
  std::vector<std::size_t> byteOf(word.size() + 1, offset);  // per character plus one
  for (std::size_t i = 0; i < word.size(); ++i) byteOf[i + 1] = byteOf[i] + word[i].length;

  const std::size_t m = units.size();
  const std::size_t searched = m * m * r.size() * r.size();
  std::vector<RubyPiece> pieces;
  if (searched <= kMaxSearch) {
    Aligner aligner(units, r);
    if (aligner.cost() != kNone) {
      for (const Aligner::Span& s : aligner.spans()) {
        const std::size_t from = byteOf[units[s.firstUnit].firstChar];
        pieces.push_back({from, byteOf[units[s.lastUnit].endChar] - from, utf8Of(r, s.from, s.to)});
      }
      return pieces;
    }
  }
  pieces.push_back({offset, byteOf.back() - offset, std::string(reading)});
  return pieces;
}

std::string spellPieces(std::span<const WordChar> word, std::span<const RubyPiece> pieces,
                        std::size_t offset) {
  std::string out;
  std::size_t at = offset;
  std::size_t next = 0;
  for (const WordChar& c : word) {
    while (next < pieces.size() && at >= pieces[next].offset + pieces[next].length) ++next;
    if (next < pieces.size() && at == pieces[next].offset) out += pieces[next].reading;
    const bool inside = next < pieces.size() && at >= pieces[next].offset;
    if (!inside) {
      const char32_t folded = kanaAsHiragana(c.value);
      sjis::appendUtf8(out, folded != 0 ? folded : c.value);
    }
    at += c.length;
  }
  return out;
}

bool isHiraganaReading(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = utf8CharAt(utf8, i);
    const bool hiragana = (c.value >= U'\u3041' && c.value <= U'\u3096') || c.value == U'ゝ' ||
                          c.value == U'ゞ' || c.value == U'ー';
    if (!hiragana || c.length == 0) return false;
    i += c.length;
  }
  return !utf8.empty();
}

}  // namespace torvane::reading
