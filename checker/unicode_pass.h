// The check pass over text that arrives as Unicode (UTF-8 files, the window's UTF-16 box),
// classified straight from its code points. It makes on the view exactly the calls the byte pass
// makes on the converted text, offsets and lengths in its Shift_JIS bytes, except text(): the
// text is the one given, never converted.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/allowing_classifier.h"
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

// The allowed words of a check without any: no character is within one.
struct NoAllowedWords {
  static constexpr bool within(std::size_t) { return false; }
};

template <class View, class Unit, class Allowed = NoAllowedWords>
class UnicodePass {
 public:
  UnicodePass(View& view, const UnicodeClassifier& classifier, ResultLists& lists,
              std::basic_string_view<Unit> text, Allowed allowed = {})
      : view_(view), classifier_(classifier), lists_(lists), text_(text), allowed_(allowed) {}

  // Every character in turn, each examined as the byte pass examines it in the converted text,
  // the event loop run before each of its bytes. Returns false when asked to stop; the lists
  // then hold what the byte pass would have found by then.
  bool walk() {
    // A local, so that the compiler can hold it in registers: a view's own counters could
    // otherwise alias it.
    Place at;
    try {
      const bool walked = walkCharacters(at);
      flushOccurrences(at.waiting);
      return walked;
    } catch (...) {
      flushOccurrences(at.waiting);  // a failure leaves the lists as the byte pass would
      throw;
    }
  }

 private:
  // Where the walk stands.
  struct Place {
    std::size_t offset = 0;   // of the next byte of the converted text
    std::size_t waiting = 0;  // occurrences not yet in their list
  };

  [[gnu::always_inline]] bool walkCharacters(Place& at) {
    const Unit* s = text_.data();
    const std::size_t n = text_.size();
    for (std::size_t i = 0; i < n;) {
      const std::size_t from = i;
      const char32_t character = sjis::nextCharacter(s, n, i);
      const UnicodeClassifier::Entry entry = classifier_.entryOf(character);
      if (entry.isCode()) [[likely]] {
        if (!step(at, entry, entry.sjisChar(character), from, i, true)) return false;
        continue;
      }
      switch (entry.kind()) {
        case sjis::FormKind::Joins: break;  // no bytes: the character before takes it in
        case sjis::FormKind::Placeholder:
          if (!step(at, entry, entry.sjisChar(character), from, i, true)) return false;
          break;
        case sjis::FormKind::LineBreak: {
          // CR LF from a CR and the LF right after it, or from any other line break alone.
          const bool crLf = character == U'\r' && i < n && s[i] == u'\n';
          if (crLf) ++i;
          const std::size_t lf = crLf ? from + 1 : from;
          const UnicodeClassifier::Entry cr = classifier_.carriageReturn();
          if (!step(at, cr, cr.sjisChar(U'\r'), from, lf, false)) return false;
          const UnicodeClassifier::Entry lineFeed = classifier_.lineFeed();
          if (!step(at, lineFeed, lineFeed.sjisChar(U'\n'), lf, i, true)) return false;
          break;
        }
        case sjis::FormKind::Code: break;
      }
    }
    return true;
  }

  // One character of the converted text: the event loop before each of its bytes. `from` and
  // `after` bound its own units; `extend` takes in the joining characters that follow.
  [[gnu::always_inline]] bool step(Place& at, UnicodeClassifier::Entry entry, sjis::SjisChar c,
                                   std::size_t from, std::size_t after, bool extend) {
    if (!view_.processPendingEvents()) return false;
    if (entry.examined()) examine(at, c, entry.charClass(), from, after, extend);
    if (entry.length() == 2 && !view_.processPendingEvents()) return false;  // the trail byte
    at.offset += entry.length();
    return true;
  }

  [[gnu::always_inline]] void examine(Place& at, sjis::SjisChar c, CharClass cls, std::size_t from,
                                      std::size_t after, bool extend) {
    view_.showProgress(c);
    if (allowed_.within(at.offset)) [[unlikely]]
      cls = learnt(cls);
    const int level = view_.levelIndex();
    const std::uint8_t action = kActions[level < -1  ? 0
                                         : level > 6 ? 7
                                                     : level + 1][static_cast<std::size_t>(cls)];
    const bool red = (action & kRed) != 0;
    if ((action & (kRed | kGrey)) != 0) {
      view_.setSelectionStart(at.offset);
      view_.setSelectionLength(c.length());
      if constexpr (TakesSourceRanges<View>) {
        view_.setSelectionSource(from, extend ? nextWithBytes(after) : after);
      }
      view_.setSelectionColor(red ? TextColor::Red : TextColor::Grey);
    }
    // Whether the character goes into a list is decided without a branch on the verdict, which
    // follows the text's characters and so foils the branch predictor; a character the text
    // has shown before needs no list at all.
    occurrences_[at.waiting] = c;
    at.waiting += red;
    if (at.waiting == occurrences_.size()) [[unlikely]] {
      flushOccurrences(at.waiting);
      at.waiting = 0;
    }
    const std::size_t slot = slotOf(c);
    const std::uint8_t wanted = action & (kRed | kStaged);
    if ((wanted & ~listed_[slot]) != 0) [[unlikely]]
      collect(c, slot, wanted & ~listed_[slot], action);
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

  // The verdicts of every class at every level, a byte each: the colour, and the lists that
  // collect the character (a problem goes to ProblemKinds, a kanji to the list of its stage).
  static constexpr std::uint8_t kRed = 1, kStaged = 2, kGrey = 4, kStageShift = 3;
  static constexpr auto kActions = [] {
    std::array<std::array<std::uint8_t, kClassCount>, 8> actions{};
    for (std::size_t row = 0; row < actions.size(); ++row) {
      for (std::size_t cls = 0; cls < kClassCount; ++cls) {
        const Verdict verdict = kVerdicts[row][cls];
        std::uint8_t action = verdict.outcome == Outcome::Red    ? kRed
                              : verdict.outcome == Outcome::Grey ? kGrey
                                                                 : 0;
        if (verdict.stage) {
          action |= kStaged | static_cast<std::uint8_t>(*verdict.stage) << kStageShift;
        }
        actions[row][cls] = action;
      }
    }
    return actions;
  }();

  // For each code page character, the lists (kRed: ProblemKinds, kStaged: its stage's) that
  // hold it already: a text repeats its kanji and letters thousands of times, and a byte test is
  // cheaper than a list's hash probe. A character's stage is the same at every level, so one bit
  // serves all stage lists. A character outside the code page has the one slot that stays
  // clear, and always goes to the lists, which keep the uniqueness rule.
  static constexpr std::size_t kOutsideCodePage = (sjis::kLeadRowCount + 1) * 0x100;
  static std::size_t slotOf(const sjis::SjisChar& c) {
    // A single byte has no lead byte: its row is kLeadRowCount, past the lead bytes' rows.
    const std::uint16_t code = c.code();
    const std::size_t slot = std::size_t{sjis::kLeadRows[code >> 8]} << 8 | (code & 0xFF);
    return c.foreign() != 0 ? kOutsideCodePage : slot;
  }
  [[gnu::noinline]] void collect(const sjis::SjisChar& c, std::size_t slot, std::uint8_t lists,
                                 std::uint8_t action) {
    const std::uint32_t key = keys_(c);
    if ((lists & kRed) != 0) lists_.ProblemKinds.appendIfAbsent(c, key);
    if ((lists & kStaged) != 0) {
      lists_.found(static_cast<Stage>(action >> kStageShift)).appendIfAbsent(c, key);
    }
    if (slot != kOutsideCodePage) listed_[slot] |= lists;
  }

  // Occurrences wait in a small buffer, written whatever the verdict and kept only when red.
  [[gnu::noinline]] void flushOccurrences(std::size_t waiting) {
    for (std::size_t k = 0; k < waiting; ++k) lists_.ProblemOccurrences.append(occurrences_[k]);
  }

  View& view_;
  const UnicodeClassifier& classifier_;
  ResultLists& lists_;
  std::basic_string_view<Unit> text_;
  Allowed allowed_;
  const UniquenessKeys& keys_ = UniquenessKeys::get();
  std::array<std::uint8_t, kOutsideCodePage + 1> listed_{};
  std::array<sjis::SjisChar, 256> occurrences_;
};

}  // namespace detail

namespace detail {

template <class View, class Unit, class Allowed>
CheckEnd runUnicodeCheck(View& view, const sjis::MeasuredText<Unit>& text,
                         const UnicodeClassifier& classifier, ResultLists& lists, Allowed allowed) {
  return checkAround(
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
        return UnicodePass<View, Unit, Allowed>(view, classifier, lists, text.units(), allowed)
            .walk();
      });
}

}  // namespace detail

// The pass of runCheckWith for text measured by sjis::measureUtf8 or sjis::measureUtf16, which
// must stay unchanged until the pass returns. Throws CheckFailure as runCheck does.
template <class View, class Unit>
CheckEnd runUnicodeCheckWith(View& view, const sjis::MeasuredText<Unit>& text,
                             const UnicodeClassifier& classifier, ResultLists& lists) {
  return detail::runUnicodeCheck(view, text, classifier, lists, detail::NoAllowedWords{});
}

// The same with the occurrences of a class's allowed words, as allowedIn finds them.
template <class View, class Unit>
CheckEnd runUnicodeCheckWith(View& view, const sjis::MeasuredText<Unit>& text,
                             const UnicodeClassifier& classifier, ResultLists& lists,
                             std::span<const AllowedOccurrence> allowed) {
  return detail::runUnicodeCheck(view, text, classifier, lists, AllowedCursor(allowed));
}

// The allowed words in a measured text, at their offsets in its Shift_JIS bytes: the characters
// the pass examines, in its order, each with the bytes the conversion gives it.
template <class Unit>
std::vector<AllowedOccurrence> allowedIn(const AllowedWords& words,
                                         const sjis::MeasuredText<Unit>& text,
                                         const UnicodeClassifier& classifier) {
  if (words.empty()) return {};
  AllowedWords::Scanner scanner(words);
  const Unit* s = text.units().data();
  const std::size_t n = text.units().size();
  std::size_t offset = 0;
  for (std::size_t i = 0; i < n;) {
    const char32_t character = sjis::nextCharacter(s, n, i);
    const UnicodeClassifier::Entry entry = classifier.entryOf(character);
    switch (entry.kind()) {
      case sjis::FormKind::Joins: break;
      case sjis::FormKind::Code:
      case sjis::FormKind::Placeholder:
        scanner.push(offset, entry.sjisChar(character));
        offset += entry.length();
        break;
      case sjis::FormKind::LineBreak:
        if (character == U'\r' && i < n && s[i] == u'\n') ++i;
        scanner.push(offset, sjis::SjisChar::single('\r'));
        scanner.push(offset + 1, sjis::SjisChar::single('\n'));
        offset += 2;
        break;
    }
  }
  return std::move(scanner).finish();
}

}  // namespace torvane::checker
