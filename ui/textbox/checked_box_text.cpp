#include "ui/textbox/checked_box_text.h"

#include <QTextDocument>

namespace torvane::ui {

sjis::EncodedText encodeBoxText(const QString& text, bool keepSourceMap) {
  return sjis::encodeUtf16(utf16Of(text), sjis::LineBreaks::ToCrLf, keepSourceMap);
}

QString checkedTextOf(const QTextDocument& document) {
  QString raw = document.toRawText();
  raw.truncate(document.characterCount() - 1);
  return raw;
}

CheckedBoxText::CheckedBoxText(QString boxText, std::vector<checker::Span> spans)
    : boxText_(std::move(boxText)), source_(utf16Of(boxText_), std::move(spans)) {}

CheckedBoxText::CheckedBoxText(QString boxText, reading::CheckedSource source)
    : boxText_(std::move(boxText)), source_(std::move(source)) {}

CheckedBoxText CheckedBoxText::check(QString boxText, int level,
                                     const checker::Classifier& classifier) {
  reading::CheckedSource source =
      reading::CheckedSource::check(utf16Of(boxText), level, classifier);
  return CheckedBoxText(std::move(boxText), std::move(source));
}

std::pair<int, int> CheckedBoxText::documentRange(std::size_t offset, std::size_t length) const {
  const auto [from, to] = source_.utf16Range(offset, length);
  return {static_cast<int>(from), static_cast<int>(to)};
}

bool CheckedBoxText::matches(const QTextDocument& document) const {
  return document.characterCount() - 1 == boxText_.size() && checkedTextOf(document) == boxText_;
}

}  // namespace torvane::ui
