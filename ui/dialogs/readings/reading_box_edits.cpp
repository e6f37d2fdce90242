#include "ui/dialogs/readings/reading_box_edits.h"

#include <QTextCursor>
#include <QTextDocument>

namespace torvane::ui {
namespace {

int unitsOf(const std::string& utf8) {
  return static_cast<int>(QString::fromStdString(utf8).size());
}

}  // namespace

std::vector<BoxEdit> boxEdits(const CheckedBoxText& text,
                              std::span<const reading::Proposal> proposals,
                              std::span<const reading::Mode> modes) {
  std::vector<BoxEdit> edits;
  for (std::size_t i = 0; i < proposals.size() && i < modes.size(); ++i) {
    const reading::Proposal& p = proposals[i];
    if (modes[i] == reading::Mode::Keep || p.reading.empty()) continue;
    const auto [from, to] = text.documentRange(p.offset, p.length);
    if (modes[i] == reading::Mode::Kana) {
      edits.push_back({from, to, QString::fromStdString(p.reading)});
      continue;
    }
    const reading::RubyParts parts = reading::trimRuby(p.word, p.reading);
    const int baseFrom = from + unitsOf(parts.before);
    const int baseTo = baseFrom + unitsOf(parts.base);
    edits.push_back({baseFrom, baseFrom, QStringLiteral("｜")});
    edits.push_back(
        {baseTo, baseTo, QStringLiteral("《") + QString::fromStdString(parts.ruby) + u'》'});
  }
  return edits;
}

void applyBoxEdits(QTextDocument& document, const std::vector<BoxEdit>& edits) {
  if (edits.empty()) return;
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
    cursor.setPosition(edit->from);
    cursor.setPosition(edit->to, QTextCursor::KeepAnchor);
    QTextCharFormat format = cursor.charFormat();
    format.clearForeground();
    cursor.insertText(edit->text, format);
  }
  cursor.endEditBlock();
}

}  // namespace torvane::ui
