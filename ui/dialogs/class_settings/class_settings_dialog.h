// 「クラスの設定」: the kanji the class has learnt beyond its year (typed or pasted, shown by the
// stage the tables teach them at, characters that are no kanji listed as ignored), the allowed
// words one a line with how often each occurs in the text, and whether readings are judged
// too. Both lists import from and export to the text files torvane-check reads.
#pragma once

#include <QDialog>
#include <QFutureWatcher>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

#include "checker/class_settings.h"
#include "checker/classify.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTableView;

namespace torvane::ui {

class AllowedWordsModel;

class ClassSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // `boxText`: the upper box's text as a check reads it, for the counts of the words.
  ClassSettingsDialog(const checker::ClassSettings& settings, const checker::Classifier& classifier,
                      QString boxText, QWidget* parent = nullptr);
  ~ClassSettingsDialog() override;

  // The settings as they stand in the dialog; nothing when a typed word is too long (the
  // dialog then says so and stays open).
  std::optional<checker::ClassSettings> settings() const;

  // Import replaces a list with the file's; a file that is no list leaves the list as it was
  // and says why. Export writes the file whole or not at all. Both say what failed, in
  // Japanese; true when done.
  bool importKnown(const QString& path);
  bool importAllowed(const QString& path);
  bool exportKnown(const QString& path);
  bool exportAllowed(const QString& path);

  AllowedWordsModel* allowedModel() const { return allowedModel_; }
  // Whether the counts of the words are still being made.
  bool counting() const { return counting_; }

  void accept() override;

 private:
  void showKnownGroups();
  void recount();
  void chooseAndImport(bool known);
  void chooseAndExport(bool known);

  const checker::Classifier& classifier_;
  QString boxText_;
  QPlainTextEdit* knownEdit_;
  QLabel* knownGroups_;
  QPlainTextEdit* allowedEdit_;
  QTableView* allowedView_;
  AllowedWordsModel* allowedModel_;
  QCheckBox* checkReadings_;
  QTimer recountSoon_;
  QFutureWatcher<std::vector<std::size_t>> counter_;
  std::vector<std::string> countedWords_;
  bool counting_ = false;
  bool recountWaiting_ = false;
};

// What a list problem means, in Japanese, naming `source` (a file, or the list typed).
QString japaneseText(const checker::ListProblem& problem, const QString& source);

}  // namespace torvane::ui
