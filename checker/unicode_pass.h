// The check pass over text that arrives as Unicode (UTF-8 files, the window's UTF-16 box),
// classified straight from its code points. It makes on the view exactly the calls the byte pass
// makes on the converted text, offsets and lengths in its Shift_JIS bytes, except text(): the
// text is the one given, never converted.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "checker/check_pass_template.h"
#include "checker/unicode_classifier.h"
#include "sjis/unicode_forms.h"

namespace torvane::checker {

// A view that also wants each coloured range where it stands in the Unicode text has
// setSelectionSource(from, to): the pass calls it right before setSelectionColor, in units of the
// text it walks (UTF-16 units for the window's box). A character's range reaches to where the next
// character with bytes begins, so the characters that join their neighbour go with the one before
// them, and each unit of a CR LF goes with its own byte.
template <class View>
concept TakesSourceRanges = requires(View& view, std::size_t at) {
  view.setSelectionSource(at, at);
};

namespace detail {

template <class View, class Unit>
class UnicodePass {
 public:
  UnicodePass(View& view, const UnicodeClassifier& classifier, ResultLists& lists,
              std::basic_string_view<Unit> text)
      : view_(view), classifier_(classifier), lists_(lists), text_(text) {
    for (std::size_t stage = 0; stage < found_.size(); ++stage) {
      found_[stage] = &lists.found(static_cast<Stage>(stage));
    }
  }

  // Every character in turn, each examined as the byte pass examines it in the converted text,
  // the event loop run before each of its bytes. Returns false when asked to stop.
  bool walk() {
    const Unit* s = text_.data();
    const std::size_t n = text_.size();
    for (std::size_t i = 0; i < n;) {
      const std::size_t from = i;
      const char32_t character = sjis::nextCharacter(s, n, i);
      const UnicodeClassifier::Entry entry = classifier_.entryOf(character);
      if (entry.isCode()) [[likely]] {
        if (!step(entry, entry.sjisChar(character), from, i, true)) return false;
        continue;
      }
      switch (entry.kind()) {
        case sjis::FormKind::Joins: break;  // no bytes: the character before takes it in
        case sjis::FormKind::Placeholder:
          if (!step(entry, entry.sjisChar(character), from, i, true)) return false;
          break;
        case sjis::FormKind::LineBreak: {
          // CR LF from a CR and the LF right after it, or from any other line break alone.
          const bool crLf = character == U'\r' && i < n && s[i] == u'\n';
          if (crLf) ++i;
          const std::size_t lf = crLf ? from + 1 : from;
          const UnicodeClassifier::Entry cr = classifier_.carriageReturn();
          if (!step(cr, cr.sjisChar(U'\r'), from, lf, false)) return false;
          const UnicodeClassifier::Entry lineFeed = classifier_.lineFeed();
          if (!step(lineFeed, lineFeed.sjisChar(U'\n'), lf, i, true)) return false;
          break;
        }
        case sjis::FormKind::Code: break;
      }
    }
    return true;
  }

 private:
  // One character of the converted text: the event loop before each of its bytes. `from` and
  // `after` bound its own units; `extend` takes in the joining characters that follow.
  bool step(UnicodeClassifier::Entry entry, const sjis::SjisChar& c, std::size_t from,
            std::size_t after, bool extend) {
    if (!view_.processPendingEvents()) return false;
    if (entry.examined()) examine(c, entry.charClass(), from, after, extend);
    if (entry.length() == 2 && !view_.processPendingEvents()) return false;  // the trail byte
    offset_ += entry.length();
    return true;
  }

  void examine(const sjis::SjisChar& c, CharClass cls, std::size_t from, std::size_t after,
               bool extend) {
    view_.showProgress(c);
    const Verdict verdict = verdictAt(cls, view_.levelIndex());
    const bool red = verdict.outcome == Outcome::Red;
    if (verdict.outcome != Outcome::None) {
      view_.setSelectionStart(offset_);
      view_.setSelectionLength(c.length());
      if constexpr (TakesSourceRanges<View>) {
        view_.setSelectionSource(from, extend ? nextWithBytes(after) : after);
      }
      view_.setSelectionColor(red ? TextColor::Red : TextColor::Grey);
    }
    if (red) {
      collectOnce(lists_.ProblemKinds, inProblemKinds_, c);
      lists_.ProblemOccurrences.append(c);
    }
    if (verdict.stage) collectOnce(*found_[static_cast<std::size_t>(*verdict.stage)], inStage_, c);
  }

  // Where the next character that has bytes begins, from unit `i` on.
  std::size_t nextWithBytes(std::size_t i) const {
    while (i < text_.size()) {
      const std::size_t at = i;
      const char32_t character = sjis::nextCharacter(text_.data(), text_.size(), i);
      if (classifier_.entryOf(character).kind() != sjis::FormKind::Joins) return at;
    }
    return text_.size();
  }

  // A bit for each code page character already in a list: a text repeats its kanji and letters
  // thousands of times, and a bit test is cheaper than the list's hash probe. A character outside
  // the code page has no slot and goes to the list, which keeps the uniqueness rule.
  static constexpr std::size_t kSlots = sjis::kLeadRowCount * 0x100 + 0x100;
  using Seen = std::array<std::uint64_t, kSlots / 64>;
  static std::size_t slotOf(const sjis::SjisChar& c) {
    const std::uint16_t code = c.code();
    return c.length() == 2 ? sjis::kLeadRows[code >> 8] << 8 | (code & 0xFF)
                           : sjis::kLeadRowCount * 0x100 + (code & 0xFF);
  }
  void collectOnce(ResultList& list, Seen& seen, const sjis::SjisChar& c) {
    if (c.foreign() == 0) {
      const std::size_t slot = slotOf(c);
      const std::uint64_t bit = std::uint64_t{1} << (slot & 63);
      if ((seen[slot >> 6] & bit) != 0) return;
      seen[slot >> 6] |= bit;
    }
    list.appendIfAbsent(c, keys_(c));
  }

  View& view_;
  const UnicodeClassifier& classifier_;
  ResultLists& lists_;
  std::basic_string_view<Unit> text_;
  std::size_t offset_ = 0;  // of the next byte of the converted text
  const UniquenessKeys& keys_ = UniquenessKeys::get();
  std::array<ResultList*, kStageCount> found_{};
  // A character's stage is the same at every level, so one set of bits serves all stage lists.
  Seen inStage_{};
  Seen inProblemKinds_{};
};

}  // namespace detail

// The pass of runCheckWith for text measured by sjis::measureUtf8 or sjis::measureUtf16, which
// must stay unchanged until the pass returns. Throws CheckFailure as runCheck does.
template <class View, class Unit>
CheckEnd runUnicodeCheckWith(View& view, const sjis::MeasuredText<Unit>& text,
                             const UnicodeClassifier& classifier, ResultLists& lists) {
  return detail::checkAround(
      view, lists,
      [&] {
        view.setSelectionStart(0);
        view.setSelectionLength(text.sjisSize());
        if constexpr (TakesSourceRanges<View>) {
          view.setSelectionSource(text.firstWithBytes(), text.units().size());
        }
        view.setSelectionColor(TextColor::Black);
      },
      [&] {
        return detail::UnicodePass<View, Unit>(view, classifier, lists, text.units()).walk();
      });
}

}  // namespace torvane::checker
