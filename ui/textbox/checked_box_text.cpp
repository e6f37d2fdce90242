#include "ui/textbox/checked_box_text.h"

#include <QTextDocument>

#include "checker/check_pass.h"

namespace torvane::ui {
namespace {

// UTF-8 of the box's UTF-16, with the UTF-8 offset of every UTF-16 position (one past the end
// included). A lone surrogate becomes U+FFFD, as the conversion to Shift_JIS takes it.
std::string toUtf8(const QString& text, std::vector<std::uint32_t>& offsetOfUnit) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()) * 3);
  offsetOfUnit.resize(static_cast<std::size_t>(text.size()) + 1);
  const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
  const std::size_t n = static_cast<std::size_t>(text.size());
  for (std::size_t i = 0; i < n;) {
    offsetOfUnit[i] = static_cast<std::uint32_t>(out.size());
    char32_t c = units[i];
    std::size_t length = 1;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      offsetOfUnit[i + 1] = static_cast<std::uint32_t>(out.size());
      length = 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = sjis::kReplacementChar;
    }
    sjis::appendUtf8(out, c);
    i += length;
  }
  offsetOfUnit[n] = static_cast<std::uint32_t>(out.size());
  return out;
}

}  // namespace

sjis::EncodedText encodeBoxText(const QString& text, bool keepSourceMap) {
  return sjis::encodeUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                               static_cast<std::size_t>(text.size())),
                           sjis::LineBreaks::ToCrLf, keepSourceMap);
}

QString checkedTextOf(const QTextDocument& document) {
  QString raw = document.toRawText();
  raw.truncate(document.characterCount() - 1);
  return raw;
}

CheckedBoxText::CheckedBoxText(QString boxText, std::vector<checker::Span> spans)
    : CheckedBoxText(boxText, encodeBoxText(boxText), std::move(spans)) {}

CheckedBoxText::CheckedBoxText(QString boxText, sjis::EncodedText byUnits,
                               std::vector<checker::Span> spans)
    : boxText_(std::move(boxText)),
      unitsOf_(std::move(byUnits.sourceOf)),
      spans_(std::move(spans)) {
  std::vector<std::uint32_t> offsetOfUnit;
  utf8_ = toUtf8(boxText_, offsetOfUnit);
  converted_.text = std::move(byUnits.text);
  converted_.sourceOf.resize(unitsOf_.size());
  for (std::size_t i = 0; i < unitsOf_.size(); ++i)
    converted_.sourceOf[i] = offsetOfUnit[unitsOf_[i]];
}

CheckedBoxText CheckedBoxText::check(QString boxText, int level,
                                     const checker::Classifier& classifier) {
  sjis::EncodedText byUnits = encodeBoxText(boxText);
  checker::RecordingView view(byUnits.text, level);
  checker::ResultLists lists;
  checker::runCheck(view, classifier, lists);
  return CheckedBoxText(std::move(boxText), std::move(byUnits), std::move(view.spans().spans));
}

std::pair<int, int> CheckedBoxText::documentRange(std::size_t offset, std::size_t length) const {
  const std::size_t last = unitsOf_.size() - 1;
  return {static_cast<int>(unitsOf_[std::min(offset, last)]),
          static_cast<int>(unitsOf_[std::min(offset + length, last)])};
}

bool CheckedBoxText::matches(const QTextDocument& document) const {
  return document.characterCount() - 1 == boxText_.size() && checkedTextOf(document) == boxText_;
}

}  // namespace torvane::ui
