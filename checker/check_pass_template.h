// The check pass as a template over the view and the classifier. runCheck instantiates it for
// the CheckView interface; a caller with a final view class can instantiate it directly so the
// calls on the view need no dispatch.
#pragma once

#include <array>
#include <cstdint>

#include "checker/allowing_classifier.h"
#include "checker/check_pass.h"
#include "checker/report.h"
#include "sjis/byte_type.h"

namespace torvane::checker {
namespace detail {

constexpr std::uint16_t kFullWidthSpace = 0x8140;

template <class View>
void colourSpan(View& view, std::size_t offset, std::size_t length, TextColor color) {
  view.setSelectionStart(offset);
  view.setSelectionLength(length);
  view.setSelectionColor(color);
}

// The walk over the text, with what it needs at hand.
template <class View, class AnyClassifier>
class Pass {
 public:
  Pass(View& view, const AnyClassifier& classifier, ResultLists& lists)
      : view_(view), classifier_(classifier), lists_(lists) {
    for (std::size_t stage = 0; stage < found_.size(); ++stage) {
      found_[stage] = &lists.found(static_cast<Stage>(stage));
    }
  }

  // Visits every byte. A lead byte and its trail byte are read together, with the event loop
  // run before each of the two as before any other byte. After a pair the byte-type rule starts
  // afresh, so a lead-range byte here is always a lead byte. Returns false when asked to stop.
  bool walk(const sjis::SjisText& text) {
    text_ = &text;
    const std::string& bytes = text.bytes;
    const std::size_t n = bytes.size();
    std::size_t foreignCursor = 0;
    for (std::size_t i = 0; i < n;) {
      if (!view_.processPendingEvents()) return false;
      const auto byte = static_cast<std::uint8_t>(bytes[i]);
      if (sjis::isLeadRange(byte) && i + 1 < n && bytes[i + 1] != '\0') {
        sjis::SjisChar c = sjis::SjisChar::pair(byte, static_cast<std::uint8_t>(bytes[i + 1]));
        if (c.code() == sjis::kPlaceholderCode) {
          if (const char32_t foreign = sjis::foreignAt(text, i, foreignCursor)) {
            c = sjis::SjisChar::outsideCodePage(foreign);
          }
        }
        if (c.code() != kFullWidthSpace) examine(i, c);
        if (!view_.processPendingEvents()) return false;  // before the trail byte
        i += 2;
      } else {
        // A single byte, or a lead byte with no trail byte after it: an incomplete character.
        if (byte != ' ') examine(i, sjis::SjisChar::single(byte));
        i += 1;
      }
    }
    return true;
  }

 private:
  void examine(std::size_t offset, const sjis::SjisChar& c) {
    view_.showProgress(c);
    Verdict verdict;
    if constexpr (ClassifiesAt<AnyClassifier>) {
      verdict = classifier_.classifyAt(*text_, offset, c, view_.levelIndex());
    } else {
      verdict = classifier_.classify(c, view_.levelIndex());
    }
    const bool red = verdict.outcome == Outcome::Red;
    if (verdict.outcome != Outcome::None) {
      colourSpan(view_, offset, c.length(), red ? TextColor::Red : TextColor::Grey);
    }
    if (!red && !verdict.stage) return;
    const std::uint32_t key = keys_(c);
    if (red) {
      lists_.ProblemKinds.appendIfAbsent(c, key);
      lists_.ProblemOccurrences.append(c);
    }
    if (verdict.stage) {
      found_[static_cast<std::size_t>(*verdict.stage)]->appendIfAbsent(c, key);
    }
  }

  View& view_;
  const AnyClassifier& classifier_;
  ResultLists& lists_;
  const sjis::SjisText* text_ = nullptr;  // the text being walked
  const UniquenessKeys& keys_ = UniquenessKeys::get();
  std::array<ResultList*, kStageCount> found_{};  // by stage, looked up once
};

// The steps around the walk, the same whatever form the text comes in: the reset of the colours,
// the lists and the report box cleared, the walk with the progress box shown, the report and the
// summary.
template <class View, class ResetColours, class Walk>
CheckEnd checkAround(View& view, ResultLists& lists, ResetColours&& resetColours, Walk&& walk) {
  resetColours();
  lists.clear();  // the lists grow with what is found, never ahead of it
  view.clearReport();

  view.beginTextUpdate();
  view.setProgressVisible(true);
  const bool walked = walk();
  view.setProgressVisible(false);
  const bool goOn = walked && view.processPendingEvents();
  view.endTextUpdate();
  if (!goOn) return CheckEnd::Stopped;

  writeReport(view, lists);
  view.showMessage(summaryMessage(lists));
  return CheckEnd::Completed;
}

}  // namespace detail

// The pass of runCheck for any view type with CheckView's operations.
template <class View, class AnyClassifier>
CheckEnd runCheckWith(View& view, const AnyClassifier& classifier, ResultLists& lists) {
  // Read once and walked by reference while the event loop runs: a view keeps the text it hands
  // over unchanged until the pass returns (see CheckView::text).
  const sjis::SjisText& text = view.text();
  return detail::checkAround(
      view, lists, [&] { detail::colourSpan(view, 0, text.size(), TextColor::Black); },
      [&] { return detail::Pass<View, AnyClassifier>(view, classifier, lists).walk(text); });
}

}  // namespace torvane::checker
