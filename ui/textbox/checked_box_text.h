// The upper box's text as a check read it, in the forms the reading proposals need: the core's
// checked source, and the box's text to know whether the box still holds it.
#pragma once

#include <QString>

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "checker/classify.h"
#include "checker/recording_view.h"
#include "reading/proposals.h"
#include "rewriting/checked_source.h"
#include "sjis/codec.h"

class QTextDocument;

namespace torvane::ui {

// The document's raw text without its closing separator: what the check converts.
QString checkedTextOf(const QTextDocument& document);

// The box's text in Shift_JIS as the check converts it (line breaks as CR LF), with the source
// map in UTF-16 units when asked for.
sjis::EncodedText encodeBoxText(const QString& text, bool keepSourceMap = true);

// The box's text as the core's UTF-16.
inline std::u16string_view utf16Of(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

class CheckedBoxText {
 public:
  // `boxText` as checkedTextOf gives it; `spans` the check's colour changes in bytes of its
  // Shift_JIS form (the box's conversion, line breaks as CR LF).
  CheckedBoxText(QString boxText, std::vector<checker::Span> spans);
  CheckedBoxText(QString boxText, reading::CheckedSource source);

  // Checks the text again at `level` with no window, for its colours: the pass is quick, and
  // the window keeps no record of them.
  static CheckedBoxText check(QString boxText, int level, const checker::Classifier& classifier);

  reading::CheckedText view() const { return source_.view(); }
  const reading::CheckedSource& source() const { return source_; }
  const QString& boxText() const { return boxText_; }

  // The document positions of the Shift_JIS bytes [offset, offset + length).
  std::pair<int, int> documentRange(std::size_t offset, std::size_t length) const;

  // Whether the document still holds the text that was checked.
  bool matches(const QTextDocument& document) const;

 private:
  QString boxText_;
  reading::CheckedSource source_;
};

}  // namespace torvane::ui
