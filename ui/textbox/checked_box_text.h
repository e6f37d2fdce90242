// The upper box's text as a check read it, in the forms the reading proposals need: UTF-8 with
// a source map in its bytes for the reading layer, and document positions for the box.
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "checker/classify.h"
#include "checker/recording_view.h"
#include "reading/proposals.h"
#include "sjis/codec.h"

class QTextDocument;

namespace torvane::ui {

// The document's raw text without its closing separator: what the check converts.
QString checkedTextOf(const QTextDocument& document);

// The box's text in Shift_JIS as the check converts it (line breaks as CR LF), with the source
// map in UTF-16 units when asked for.
sjis::EncodedText encodeBoxText(const QString& text, bool keepSourceMap = true);

class CheckedBoxText {
 public:
  // `boxText` as checkedTextOf gives it; `spans` the check's colour changes in bytes of its
  // Shift_JIS form (the box's conversion, line breaks as CR LF).
  CheckedBoxText(QString boxText, std::vector<checker::Span> spans);

  // Checks the text again at `level` with no window, for its colours: the pass is quick, and
  // the window keeps no record of them.
  static CheckedBoxText check(QString boxText, int level, const checker::Classifier& classifier);

  reading::CheckedText view() const { return {utf8_, converted_, spans_}; }
  const QString& boxText() const { return boxText_; }

  // The document positions of the Shift_JIS bytes [offset, offset + length).
  std::pair<int, int> documentRange(std::size_t offset, std::size_t length) const;

  // Whether the document still holds the text that was checked.
  bool matches(const QTextDocument& document) const;

 private:
  CheckedBoxText(QString boxText, sjis::EncodedText byUnits, std::vector<checker::Span> spans);

  QString boxText_;
  std::string utf8_;
  sjis::EncodedText converted_;         // source map in bytes of utf8_
  std::vector<std::uint32_t> unitsOf_;  // per byte plus one: document positions
  std::vector<checker::Span> spans_;
};

}  // namespace torvane::ui
