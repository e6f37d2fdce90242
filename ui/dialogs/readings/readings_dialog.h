// 「読みがなの案」: the reading proposals of the last check as a table the teacher edits, and the
// rewritten text copied with ruby, saved as HTML, or written back into the upper box.
#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "rewriting/proposal_rows.h"
#include "ui/textbox/checked_box_text.h"
#include "ui/textbox/opened_file.h"

class QLabel;
class QPushButton;
class QTableView;

namespace torvane::ui {

class PasteBox;
class ReadingsModel;

// The checked text and its proposals (reading::propose on text.view()), which the dialog and its
// workers share and nobody changes.
struct BoxReadings {
  CheckedBoxText text;
  std::vector<reading::Proposal> proposals;
  // 「読み方も判定する」: the words whose reading gives a note are among the proposals too.
  bool readingsJudged = false;
};

class ReadingsDialog : public QDialog {
  Q_OBJECT

 public:
  // `rows` are the proposals grouped (reading::groupProposals). `box` is the upper box the text
  // was checked in: the dialog shows words there and writes the rewrite into it.
  ReadingsDialog(std::shared_ptr<const BoxReadings> readings,
                 std::vector<reading::ProposalRow> rows, PasteBox* box, QWidget* parent = nullptr);
  ReadingsDialog(CheckedBoxText text, std::vector<reading::Proposal> proposals, PasteBox* box,
                 QWidget* parent = nullptr);

  ReadingsModel* model() const { return model_; }

  // The checked text with every proposal written as its row says.
  std::string rewritten(reading::Format format);

  // The buttons' commands. Over a long text the copy's forms and the edits are made on a worker
  // while the window stays live; the signals below say when they are done.
  void copyWithRuby();  // HTML with <ruby> and the ｜《》 text, on one clipboard entry
  void save();          // asks for a file name and a kind, then saveTo
  // Writes the rewritten text as .docx, .odt, .html or .txt by the name's suffix. False, after
  // a message box, when it cannot be written; over a long text the file is written on a
  // worker, and saved says how it went.
  bool saveTo(const QString& path);

  // The document the box was filled from: 「元の文書にルビを入れて保存…」 writes the ruby into
  // it when it is a .docx or an .odt.
  void setOpenedFile(std::optional<OpenedFile> file);
  void saveIntoDocument();  // asks for a file name, then saveIntoDocumentTo
  // The opened document with only the proposed words changed, whole or not at all; the opened
  // file itself only when the teacher agrees. False, after a message box, when it cannot be.
  bool saveIntoDocumentTo(const QString& path);
  bool applyToBox();  // false, after a message box, when the box no longer holds the text

  // Selects occurrence `which` of a row's word in the box and scrolls it into view.
  void showOccurrence(int row, int which);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 Q_SIGNALS:
  // A word was selected in the box: its document range.
  void occurrenceShown(int from, int to);
  // The box holds the rewritten text now.
  void appliedToBox();
  // The text with ruby is on the clipboard, or something copied after it.
  void copiedWithRuby();
  // The file is written whole, or (false) not at all, after a message box.
  void saved(bool written);

 private:
  void createTable();
  void createButtons();
  void rowClicked(int row);
  // Whether the box is there and still holds the checked text; says why not in the note.
  bool boxHoldsCheckedText();

  // The box's font as the copy's RTF names it.
  reading::rtf::Font rtfFont() const;
  // Whether the work on the proposals is long enough for a worker.
  bool forWorker() const;
  bool reportSave(const QString& path, const QString& problem, const QString& done = {});
  // Writes on a worker over a long text, at once otherwise; `write` returns the problem and
  // sets the message of success.
  bool startSave(const QString& path, std::function<QString(QString& done)> write);

  std::shared_ptr<const BoxReadings> readings_;
  QPointer<PasteBox> box_;
  ReadingsModel* model_;
  QTableView* table_ = nullptr;
  QLabel* note_ = nullptr;
  int shownRow_ = -1;
  int shownOccurrence_ = 0;
  int shownAtPress_ = -1;  // the row shown when the mouse was last pressed on the table
  std::optional<OpenedFile> opened_;
  QPushButton* saveIntoDocument_ = nullptr;
  // The problem, or nothing when the file is saved; and the message of success.
  QFutureWatcher<std::pair<QString, QString>> saving_;
};

}  // namespace torvane::ui
