#include "ui/dialogs/readings/readings_command.h"

#include <QAction>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

#include "rewriting/checked_source.h"
#include "ui/textbox/paste_box.h"
#include "ui/window/message_boxes.h"

namespace torvane::ui {
namespace {

const QString kTitle = QStringLiteral("読みがなの案");
const QString kNoDictionary = QStringLiteral(
    "読みがなを調べる辞書が入っていません（Debian のパッケージ mecab-ipadic-utf8 "
    "を入れてください）");
const QString kFailure = QStringLiteral("読みがなの案を作れませんでした");

// Whether the analyser's dictionary is installed; looked at once, at start-up.
bool readingDictionaryInstalled() {
  const reading::DictionaryPaths paths = reading::defaultDictionaryPaths();
  return QFileInfo::exists(QString::fromStdString(paths.systemDir) + QStringLiteral("/sys.dic"));
}

}  // namespace

ReadingsCommand::ReadingsCommand(QAction* action, QWidget* window)
    : QObject(window), action_(action), window_(window) {
  action_->setEnabled(false);  // after a check
  if (!readingDictionaryInstalled()) disable(kNoDictionary);
  connect(&proposing_, &QFutureWatcher<Outcome>::finished, this,
          [this] { show(proposing_.future().takeResult()); });
}

// A window that closes while proposals are made leaves the worker to finish unseen: it holds
// everything it reads.
ReadingsCommand::~ReadingsCommand() = default;

void ReadingsCommand::offer() {
  if (!unavailable_ && !busy_) action_->setEnabled(true);
}

void ReadingsCommand::disable(const QString& why) {
  unavailable_ = true;
  action_->setEnabled(false);
  action_->setToolTip(why);
  action_->setStatusTip(why);
}

void ReadingsCommand::propose(PasteBox* box, int level, const checker::Classifier& classifier,
                              ClassChoices choices) {
  if (busy_ || unavailable_ || box == nullptr) return;
  busy_ = true;
  action_->setEnabled(false);
  box_ = box;
  // Taking the text costs a copy; the check, the analyser and the rows run on the worker.
  proposing_.setFuture(QtConcurrent::run(
      [analyzer = analyzer_, text = checkedTextOf(*box->document()), level, classifier = classifier,
       choices = std::move(choices)]() mutable -> Outcome {
        try {
          if (!analyzer) {
            auto opened = reading::Analyzer::open();
            if (std::holds_alternative<reading::AnalyzerError>(opened)) return NoDictionary{};
            analyzer = std::make_shared<const reading::Analyzer>(
                std::move(std::get<reading::Analyzer>(opened)));
          }
          reading::ProposedReadings proposed = reading::proposeReadings(
              *analyzer, utf16Of(text), level, classifier,
              {choices.known, choices.allowed.get(), choices.judgeReadings});
          auto readings = std::make_shared<const BoxReadings>(
              BoxReadings{CheckedBoxText(std::move(text), std::move(proposed.source)),
                          std::move(proposed.proposals), choices.judgeReadings});
          return Proposed{std::move(analyzer), std::move(readings), std::move(proposed.rows)};
        } catch (const std::bad_alloc&) {
          return kFailure + QStringLiteral("（メモリが足りません）");
        } catch (...) {
          return kFailure;
        }
      }));
}

void ReadingsCommand::show(Outcome outcome) {
  busy_ = false;
  if (std::holds_alternative<NoDictionary>(outcome)) {
    disable(kNoDictionary);
    showMessageBox(QMessageBox::Warning, kTitle, kNoDictionary);
    Q_EMIT finished();
    return;
  }
  action_->setEnabled(!unavailable_);
  if (auto* failure = std::get_if<QString>(&outcome)) {
    showFailure(*failure);
    Q_EMIT finished();
    return;
  }
  Proposed& proposed = std::get<Proposed>(outcome);
  analyzer_ = std::move(proposed.analyzer);
  if (box_ == nullptr) return;
  if (dialog_) dialog_->close();
  dialog_ =
      new ReadingsDialog(std::move(proposed.readings), std::move(proposed.rows), box_, window_);
  dialog_->setAttribute(Qt::WA_DeleteOnClose);
  dialog_->show();
  Q_EMIT finished();
}

}  // namespace torvane::ui
