// The proposals written into the upper box itself: kana in place of a word, ruby in the
// ｜base《reading》 notation, everything else in the box left as it is.
#pragma once

#include <QString>

#include <span>
#include <vector>

#include "rewriting/rewrite.h"
#include "ui/textbox/checked_box_text.h"

class QTextDocument;

namespace torvane::ui {

// Replaces the document range [from, to) with `text`; an insertion when from == to.
struct BoxEdit {
  int from = 0;
  int to = 0;
  QString text;
  bool operator==(const BoxEdit&) const = default;
};

// The edits for the proposals in their modes (modes[i] for proposals[i]), in document order,
// never overlapping. Ruby inserts the marks around the base and keeps its characters, formats
// included.
std::vector<BoxEdit> boxEdits(const CheckedBoxText& text,
                              std::span<const reading::Proposal> proposals,
                              std::span<const reading::Mode> modes);

// Makes the edits as one step that undo takes back, from the last to the first so that the
// positions of those before stay valid. Inserted text takes its neighbour's format in black.
void applyBoxEdits(QTextDocument& document, const std::vector<BoxEdit>& edits);

}  // namespace torvane::ui
