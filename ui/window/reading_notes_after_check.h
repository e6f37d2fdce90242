// 「読み方も判定する」: after a check, the readings of the kanji it let pass, judged by the school
// stage that teaches them. The text is checked again and read on a worker while the window stays
// live; the report gains the section 読み方がまだ習わない漢字 and each such kanji in the upper box
// a dotted underline, which goes again before the next check colours the text.
#pragma once

#include <memory>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/classify.h"
#include "reading/analyzer.h"

namespace torvane::ui {

class PasteBox;
class ReportBox;

class ReadingNotesAfterCheck {
 public:
  // The underlines of the last notes taken off, wherever edits have moved them.
  void clear(PasteBox& box);
  // The notes of the box's text at `level`: the report section and the underlines. A missing
  // dictionary or a failure is told in a message box; the check's own report stays as it is.
  // The class's known kanji (ascending) and allowed words give no note.
  void run(PasteBox& box, ReportBox& report, int level, const checker::Classifier& classifier,
           std::vector<char32_t> known, std::shared_ptr<const checker::AllowedWords> allowed);

 private:
  std::shared_ptr<const reading::Analyzer> analyzer_;  // opened on first use
  bool underlined_ = false;                            // the box holds underlines of notes
};

}  // namespace torvane::ui
