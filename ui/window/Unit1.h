// The main window: the banner, the four command buttons, the level drop-down, the text box, the
// report box and the progress box.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>

#include <functional>
#include <memory>

#include "checker/allowed_words.h"
#include "checker/class_settings.h"
#include "checker/classify.h"
#include "checker/result_list.h"
#include "tables/class_strings.h"
#include "tables/table_set.h"
#include "ui/input_method/input_method.h"

class QScreen;
#include "ui/textbox/paste_box.h"
#include "ui/window/level_box.h"
#include "ui/window/reading_notes_after_check.h"
#include "ui/window/report_box.h"
#include "ui/window/window_view.h"

namespace torvane::ui {

class FileCommands;
class ReadingsCommand;

class TForm1 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);

  // The level the drop-down names: 0 to 6, or -1 for typed text that is none of the entries.
  int levelIndex() const { return ComboBox1->levelIndex(); }

  // The commands behind the buttons.
  void Button1Click();  // check
  void Button2Click();  // quit
  void Button3Click();  // copy
  void Button4Click();  // paste

  // The longest gap between two runs of the event loop during the last check, in ms.
  qint64 lastCheckLongestEventGapMs() const { return lastLongestGapMs_; }
  // Where the running check stands; Idle when none runs.
  CheckStage checkStage() const {
    return activeView_ != nullptr ? activeView_->stage() : CheckStage::Idle;
  }
  // Opening and saving files.
  FileCommands* files() const { return Files; }
  // What the class has learnt beyond its year; kept in torvane.ini. Changing it does not check
  // again, like choosing a level.
  const checker::ClassSettings& classSettings() const { return classSettings_; }
  void setClassSettings(checker::ClassSettings settings);

  // The result lists; null once the window has closed.
  const checker::ResultLists* results() const { return Results.get(); }

  // The menu bar, and the area below it that holds every other control.
  QMenuBar* MenuBar;
  QLabel* TablesLabel;  // the tables in use
  QWidget* ClientArea;
  // The banner.
  QWidget* Shape1;
  QLabel* Image1;
  QLabel* Label1;
  QLabel* Label2;
  // The command row.
  QPushButton* Button4;  // paste
  LevelComboBox* ComboBox1;
  QPushButton* Button1;  // check
  QPushButton* Button3;  // copy
  QPushButton* Button2;  // quit
  // The text to check, the report, and the character being examined.
  PasteBox* RichEdit1;
  ReportBox* RichEdit2;
  QLabel* StaticText1;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // The menu commands.
  void chooseTables(tables::TableSet set);
  void showTables(tables::TableSet set);
  void showTableChanges();
  void showClassSettings();
  void showTablesLabel();
  void showHelp(const QString& title, const QString& richText);
  void showReadings();
  void offerReadingsAfterCheck();

  void createActions();
  void createMenus();
  void createBanner();
  void createCommandRow();
  void createTextBoxes();
  void arrangeTabOrder();
  void FormCreate();
  void FormClose();
  // The dialogs that wait for their OK hold the event loop, and with it a running pass: they
  // are off while a check runs.
  void offerDialogs(bool offered);
  // Centres the frame in the screen's available area, or moves it the least that brings it
  // inside; either way it ends inside (a frame larger than the area with its top-left corner
  // inside).
  enum class Placement { Centre, KeepInside };
  void placeOnScreen(Placement placement);
  // The frame as far as it is known: the client area with the frame's margins when the
  // window system reports believable ones, without them otherwise.
  QRect knownFrame() const;
  void followScreen(QScreen* screen);
  // Runs a command; an unexpected failure abandons it and is shown in the failure box, saying
  // what was being done (a noun such as 「チェック」).
  void runCommand(const std::function<void()>& command, const QString& doing = {});

  // The class strings are filled once at creation; the result lists live from creation to
  // closing. A check in progress holds on to both, so neither changes under it.
  tables::ClassStrings ClassStrings;      // the built-in tables
  tables::ClassStrings ClassStrings2020;  // the tables in force since 2020
  std::unique_ptr<checker::Classifier> Classifier;
  std::unique_ptr<checker::Classifier> Classifier2020;
  const checker::Classifier& classifierInUse() const {
    return tableSet_ == tables::TableSet::Tables2020 ? *Classifier2020 : *Classifier;
  }
  std::unique_ptr<checker::ResultLists> Results;
  // The class settings, and what a check needs of them, made when they or the tables change.
  checker::ClassSettings classSettings_;
  std::unique_ptr<checker::Classifier> taughtClassifier_;  // with the known kanji
  tables::TableSet taughtTables_ = tables::TableSet::Tables1989;
  std::shared_ptr<const checker::AllowedWords> allowedWords_;
  const checker::Classifier& classifierForCheck();

  QActionGroup* TablesGroup;
  QAction* Tables1989Action;
  QAction* Tables2020Action;
  QAction* TableChangesAction;
  QAction* ClassSettingsAction;
  QAction* ReadingsAction;
  QAction* UsageAction;
  QAction* AboutAction;
  tables::TableSet tableSet_ = tables::TableSet::Tables1989;
  // The level and tables of the last check, which the reading proposals follow.
  int checkedLevel_ = 0;
  tables::TableSet checkedTables_ = tables::TableSet::Tables1989;
  ReadingsCommand* Readings;  // the reading proposals and their dialog
  FileCommands* Files;        // the files opened into the box and saved from it
  ReadingNotesAfterCheck readingNotes_;

  JapaneseInputMethod inputMethod_;
  bool placed_ = false;
  bool framePlaced_ = false;
  QPoint placedAt_;  // where the last placement put the client area
  QMetaObject::Connection screenArea_;
  bool checking_ = false;
  bool closeAfterCheck_ = false;
  WindowCheckView* activeView_ = nullptr;
  qint64 lastLongestGapMs_ = 0;
};

}  // namespace torvane::ui

// The one main window, as the rest of the program knows it.
using torvane::ui::TForm1;
extern TForm1* Form1;
