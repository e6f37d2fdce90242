#include "checker/check_pass.h"

#include "checker/report.h"
#include "sjis/byte_type.h"

namespace torvane::checker {
namespace {

constexpr std::uint16_t kFullWidthSpace = 0x8140;

void colourSpan(CheckView& view, std::size_t offset, std::size_t length, TextColor color) {
  view.setSelectionStart(offset);
  view.setSelectionLength(length);
  view.setSelectionColor(color);
}

void recordProblem(ResultLists& lists, const sjis::SjisChar& c) {
  lists.ProblemKinds.appendIfAbsent(c);
  lists.ProblemOccurrences.append(c);
}

template <class AnyClassifier>
void examine(CheckView& view, const AnyClassifier& classifier, ResultLists& lists,
             std::size_t offset, const sjis::SjisChar& c) {
  view.showProgress(c);
  const Verdict verdict = classifier.classify(c, view.levelIndex());
  if (verdict.outcome == Outcome::Grey) {
    colourSpan(view, offset, c.length, TextColor::Grey);
  } else if (verdict.outcome == Outcome::Red) {
    colourSpan(view, offset, c.length, TextColor::Red);
    recordProblem(lists, c);
  }
  if (verdict.list != FoundList::None) lists.found(verdict.list).appendIfAbsent(c);
}

template <class AnyClassifier>
CheckEnd runCheckWith(CheckView& view, const AnyClassifier& classifier, ResultLists& lists) {
  // Nothing runs between the reset and the walk that could change the text, so it is read once.
  const sjis::SjisText text = view.text();
  const std::size_t n = text.size();
  colourSpan(view, 0, n, TextColor::Black);
  lists.clear();
  view.clearReport();

  view.beginTextUpdate();
  view.setProgressVisible(true);
  sjis::ByteTypeScanner scanner;
  std::size_t foreignCursor = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!view.processPendingEvents()) {
      view.setProgressVisible(false);
      view.endTextUpdate();
      return CheckEnd::Stopped;
    }
    const auto byte = static_cast<std::uint8_t>(text.bytes[i]);
    const sjis::ByteType type = scanner.next(byte);
    if (type == sjis::ByteType::Trail) continue;
    // A lead byte at the end or before a NUL comes back as an incomplete one-byte character.
    const sjis::SjisChar c = sjis::charAt(text, i, foreignCursor);
    if (c.length == 2 ? c.code == kFullWidthSpace : byte == ' ') continue;
    examine(view, classifier, lists, i, c);
  }
  view.setProgressVisible(false);
  const bool goOn = view.processPendingEvents();
  view.endTextUpdate();
  if (!goOn) return CheckEnd::Stopped;

  writeReport(view, lists);
  view.showMessage(summaryMessage(lists));
  return CheckEnd::Completed;
}

}  // namespace

CheckEnd runCheck(CheckView& view, const Classifier& classifier, ResultLists& lists) {
  return runCheckWith(view, classifier, lists);
}

CheckEnd runCheck(CheckView& view, const LiteralClassifier& classifier, ResultLists& lists) {
  return runCheckWith(view, classifier, lists);
}

}  // namespace torvane::checker
