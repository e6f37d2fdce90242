// The class of every Unicode character as the check finds it after the conversion, with the
// character's Shift_JIS form, in one table: text that arrives as Unicode is classified straight
// from its code points, one lookup a character, with nothing converted.
#pragma once

#include <cstdint>
#include <vector>

#include "checker/classify.h"
#include "sjis/unicode_forms.h"

namespace torvane::checker {

class UnicodeClassifier {
 public:
  // What the pass needs of one character, in four bytes.
  class Entry {
   public:
    constexpr Entry() = default;
    constexpr Entry(sjis::CharForm form, CharClass cls, bool examined)
        : bits_(static_cast<std::uint32_t>(form.kind()) << kKindShift |
                static_cast<std::uint32_t>(cls) << kClassShift |
                (examined ? 0u : 1u) << kSkipShift |
                static_cast<std::uint32_t>(form.length()) << kLengthShift | form.code()) {}

    constexpr sjis::FormKind kind() const {
      return static_cast<sjis::FormKind>(bits_ >> kKindShift);
    }
    // Code and nothing else: one lookup tells the pass it has the whole character.
    constexpr bool isCode() const { return bits_ >> kKindShift == 0; }
    constexpr std::uint8_t length() const { return bits_ >> kLengthShift & 3; }
    constexpr CharClass charClass() const {
      return static_cast<CharClass>(bits_ >> kClassShift & 0x1F);
    }
    // False for the ASCII space and the full-width space, which the pass passes over.
    constexpr bool examined() const { return (bits_ >> kSkipShift & 1) == 0; }
    // The character as the pass reads it from the converted text; `character` is the code point
    // the entry belongs to, which a placeholder pair stands for.
    constexpr sjis::SjisChar sjisChar(char32_t character) const {
      if (kind() == sjis::FormKind::Placeholder) {
        return sjis::SjisChar::outsideCodePage(sjis::placeholderFor(character));
      }
      const auto code = static_cast<std::uint16_t>(bits_);
      return length() == 2 ? sjis::SjisChar::pair(code >> 8, code & 0xFF)
                           : sjis::SjisChar::single(static_cast<std::uint8_t>(code));
    }
    constexpr bool operator==(const Entry&) const = default;

   private:
    static constexpr unsigned kLengthShift = 16, kSkipShift = 18, kClassShift = 19, kKindShift = 24;
    std::uint32_t bits_ = 0;
  };

  explicit UnicodeClassifier(const Classifier& classifier);

  Entry entryOf(char32_t character) const {
    return character < 0x10000 ? bmp_[character] : beyondBmp(character);
  }
  // A line break is written as two one-byte characters, CR and LF, each examined in its turn.
  Entry carriageReturn() const { return carriageReturn_; }
  Entry lineFeed() const { return lineFeed_; }

 private:
  Entry entryFor(sjis::CharForm form, char32_t character) const;
  Entry beyondBmp(char32_t character) const;

  Classifier classifier_;
  std::vector<Entry> bmp_;  // by code point: 256 KB, of which a text touches a few lines
  Entry carriageReturn_, lineFeed_;
};

}  // namespace torvane::checker
