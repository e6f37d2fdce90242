#include "ui/window/reading_notes_after_check.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QTextCharFormat>
#include <QTextDocument>

#include <algorithm>
#include <new>
#include <string>
#include <variant>

#include "rewriting/box_reading_notes.h"
#include "ui/textbox/checked_box_text.h"
#include "ui/textbox/paste_box.h"
#include "ui/window/message_boxes.h"
#include "ui/window/report_box.h"
#include "ui/window/worker.h"

namespace torvane::ui {
namespace {

const QString kTitle = QStringLiteral("読み方の判定");
const QString kNoDictionary = QStringLiteral(
    "読み方を調べる辞書が入っていません（Debian のパッケージ mecab-ipadic-utf8 "
    "を入れてください）");
const QString kFailure = QStringLiteral("読み方を判定できませんでした");

// Underlines are written for this long before the event loop runs again.
constexpr qint64 kSliceMs = 5;
// The underlines come off this many characters at a time, as the check's reset colours them.
constexpr int kClearPieceChars = 4 * 1024;

struct Judged {
  std::shared_ptr<const reading::Analyzer> analyzer;
  std::vector<reading::BoxReadingNote> notes;
};
struct NoDictionary {};
using Outcome = std::variant<Judged, NoDictionary, QString>;  // QString: why it failed

// A stretch of the box: UTF-16 positions.
struct Stretch {
  int from;
  int to;
};

// Writes `format` over the stretches in slices, the window live in between, as one undo step with
// the check's colours. One cursor does it all: a cursor kept for each note would be moved by the
// document at every change, thousands of cursors times thousands of changes.
void mergeInSlices(PasteBox& box, const std::vector<Stretch>& stretches,
                   const QTextCharFormat& format) {
  QElapsedTimer timer;
  for (std::size_t i = 0; i < stretches.size();) {
    timer.start();
    QTextCursor cursor(box.document());
    box.joinColours(cursor);
    for (; i < stretches.size() && timer.elapsed() < kSliceMs; ++i) {
      cursor.setPosition(stretches[i].from);
      cursor.setPosition(stretches[i].to, QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
    if (i < stretches.size()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  box.endColours();
}

}  // namespace

void ReadingNotesAfterCheck::clear(PasteBox& box) {
  if (!underlined_) return;
  // Edits since may have moved the underlines: the whole text, a piece at a time.
  std::vector<Stretch> pieces;
  const int end = box.document()->characterCount() - 1;
  for (int from = 0; from < end; from += kClearPieceChars)
    pieces.push_back({from, std::min(end, from + kClearPieceChars)});
  QTextCharFormat plain;
  plain.setUnderlineStyle(QTextCharFormat::NoUnderline);
  mergeInSlices(box, pieces, plain);
  underlined_ = false;
}

void ReadingNotesAfterCheck::run(PasteBox& box, ReportBox& report, int level,
                                 const checker::Classifier& classifier, std::vector<char32_t> known,
                                 std::shared_ptr<const checker::AllowedWords> allowed) {
  auto outcome = runKeepingWindowLive([analyzer = analyzer_, text = checkedTextOf(*box.document()),
                                       level, classifier, known = std::move(known),
                                       allowed = std::move(allowed)]() mutable -> Outcome {
    try {
      if (!analyzer) {
        auto opened = reading::Analyzer::open();
        if (std::holds_alternative<reading::AnalyzerError>(opened)) return NoDictionary{};
        analyzer = std::make_shared<const reading::Analyzer>(
            std::move(std::get<reading::Analyzer>(opened)));
      }
      auto notes = reading::boxReadingNotes(*analyzer, utf16Of(text), level, classifier, known,
                                            allowed.get());
      return Judged{std::move(analyzer), std::move(notes)};
    } catch (const std::bad_alloc&) {
      return kFailure + QStringLiteral("（メモリが足りません）");
    } catch (...) {
      return kFailure;
    }
  });
  if (!outcome) return;  // the application is quitting
  if (std::holds_alternative<NoDictionary>(*outcome)) {
    showMessageBox(QMessageBox::Warning, kTitle, kNoDictionary);
    return;
  }
  if (const auto* failure = std::get_if<QString>(&*outcome)) {
    showFailure(*failure);
    return;
  }
  Judged& judged = std::get<Judged>(*outcome);
  analyzer_ = std::move(judged.analyzer);
  if (judged.notes.empty()) return;

  // The section follows the check's report after an empty line, as its sections follow each
  // other.
  QTextCursor end(report.document());
  end.movePosition(QTextCursor::End);
  const std::vector<std::string> lines = reading::readingNotesReport(judged.notes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      end.insertBlock();
    } else if (!report.document()->isEmpty()) {
      end.insertBlock();
      end.insertBlock();
    }
    end.insertText(QString::fromStdString(lines[i]));
  }

  std::vector<Stretch> kanji;
  kanji.reserve(judged.notes.size());
  for (const reading::BoxReadingNote& note : judged.notes)
    kanji.push_back({static_cast<int>(note.from), static_cast<int>(note.to)});
  QTextCharFormat dotted;
  dotted.setUnderlineStyle(QTextCharFormat::DotLine);
  mergeInSlices(box, kanji, dotted);
  underlined_ = true;
}

}  // namespace torvane::ui
