// 「読みがなの案」: proposes readings for the words of the last check's red characters, at the
// level and with the tables of that check, and opens the dialog on them. Opening the analyser,
// checking the text again and reading it with MeCab take a while over a long text: they run on a
// worker while the window stays live.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <variant>
#include <vector>

#include "checker/allowed_words.h"
#include "checker/classify.h"
#include "reading/analyzer.h"
#include "ui/dialogs/readings/readings_dialog.h"

class QAction;
class QWidget;

namespace torvane::ui {

class PasteBox;

// The class settings the proposals follow; the known kanji are the classifier's too.
struct ClassChoices {
  std::vector<char32_t> known;                           // ascending
  std::shared_ptr<const checker::AllowedWords> allowed;  // may be null
  bool judgeReadings = false;                            // 「読み方も判定する」
};

class ReadingsCommand : public QObject {
  Q_OBJECT

 public:
  // `action` is the menu item, which the command turns on and off; `window` the dialog's parent.
  ReadingsCommand(QAction* action, QWidget* window);
  ~ReadingsCommand() override;

  // After a check: the item is on, unless the dictionary is missing.
  void offer();
  // Proposes readings for the text of `box`, checked again at `level` by `classifier`, and
  // shows them. Nothing while proposals are being made.
  void propose(PasteBox* box, int level, const checker::Classifier& classifier,
               ClassChoices choices = {});
  bool busy() const { return busy_; }

  ReadingsDialog* dialog() const { return dialog_; }

 Q_SIGNALS:
  // The dialog is up with the proposals, or the command ended with a message.
  void finished();

 private:
  struct Proposed {
    std::shared_ptr<const reading::Analyzer> analyzer;
    std::shared_ptr<const BoxReadings> readings;
    std::vector<reading::ProposalRow> rows;
  };
  struct NoDictionary {};
  using Outcome = std::variant<Proposed, NoDictionary, QString>;  // QString: why it failed

  void disable(const QString& why);
  void show(Outcome outcome);

  QAction* action_;
  QWidget* window_;
  std::shared_ptr<const reading::Analyzer> analyzer_;  // opened on first use
  QPointer<PasteBox> box_;
  QPointer<ReadingsDialog> dialog_;
  bool busy_ = false;
  bool unavailable_ = false;
  QFutureWatcher<Outcome> proposing_;
};

}  // namespace torvane::ui
