// The main window's menu bar: opening and saving files, the choice of tables, the table changes,
// the reading proposals and help. The window keeps the actions; the menu bar only shows them.
#include <QActionGroup>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>

#include <variant>

#include "checker/table_changes.h"
#include "sjis/codec.h"
#include "ui/dialogs/class_settings/class_settings_dialog.h"
#include "ui/dialogs/readings/readings_command.h"
#include "ui/dialogs/table_changes/table_changes_dialog.h"
#include "ui/look/fonts.h"
#include "ui/window/Unit1.h"
#include "ui/window/file_commands.h"
#include "ui/window/help_texts.h"
#include "ui/window/message_boxes.h"

namespace torvane::ui {
namespace {

const QString kTablesKey = QStringLiteral("tables");
const QString kKnownKey = QStringLiteral("class/known");
const QString kAllowedKey = QStringLiteral("class/allowed");
const QString kCheckReadingsKey = QStringLiteral("class/checkReadings");

QSettings storedChoices() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("torvane"),
                   QStringLiteral("torvane"));
}

// A box with rich text and one OK button, as the window's other boxes have.
void showTextBox(QWidget* parent, const QString& title, const QString& richText) {
  QMessageBox box(QMessageBox::NoIcon, title, richText, QMessageBox::NoButton, parent);
  box.setObjectName(QStringLiteral("HelpBox"));
  box.setTextFormat(Qt::RichText);
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
}

}  // namespace

void TForm1::createActions() {
  Files = new FileCommands(
      this, [this] { RichEdit2->clear(); }, [this] { return checking_; });

  Tables1989Action =
      new QAction(QStringLiteral("1989年告示の配当表・1981年の常用漢字表(&8)"), this);
  Tables2020Action =
      new QAction(QStringLiteral("2020年度からの配当表・2010年の常用漢字表(&2)"), this);
  TablesGroup = new QActionGroup(this);
  for (QAction* action : {Tables1989Action, Tables2020Action}) {
    action->setCheckable(true);
    TablesGroup->addAction(action);
  }
  Tables1989Action->setObjectName(QStringLiteral("Tables1989Action"));
  Tables2020Action->setObjectName(QStringLiteral("Tables2020Action"));
  connect(Tables1989Action, &QAction::triggered, this,
          [this] { chooseTables(tables::TableSet::Tables1989); });
  connect(Tables2020Action, &QAction::triggered, this,
          [this] { chooseTables(tables::TableSet::Tables2020); });

  TableChangesAction = new QAction(QStringLiteral("表の違いを見る(&D)…"), this);
  TableChangesAction->setObjectName(QStringLiteral("TableChangesAction"));
  TableChangesAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  connect(TableChangesAction, &QAction::triggered, this, &TForm1::showTableChanges);

  ClassSettingsAction = new QAction(QStringLiteral("クラスの設定(&C)…"), this);
  ClassSettingsAction->setObjectName(QStringLiteral("ClassSettingsAction"));
  connect(ClassSettingsAction, &QAction::triggered, this, &TForm1::showClassSettings);

  ReadingsAction = new QAction(QStringLiteral("読みがなの案(&Y)…"), this);
  ReadingsAction->setObjectName(QStringLiteral("ReadingsAction"));
  ReadingsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  connect(ReadingsAction, &QAction::triggered, this, &TForm1::showReadings);
  Readings = new ReadingsCommand(ReadingsAction, this);
  // The dialog writes its ruby into the document the box was filled from.
  connect(Readings, &ReadingsCommand::finished, this, [this] {
    if (ReadingsDialog* dialog = Readings->dialog()) {
      const OpenedFile* opened = Files->openedFile();
      dialog->setOpenedFile(opened != nullptr ? std::optional(*opened) : std::nullopt);
    }
  });

  UsageAction = new QAction(QStringLiteral("使い方(&U)"), this);
  UsageAction->setObjectName(QStringLiteral("UsageAction"));
  UsageAction->setShortcut(QKeySequence::HelpContents);
  connect(UsageAction, &QAction::triggered, this,
          [this] { showHelp(QStringLiteral("使い方"), usageText()); });

  AboutAction = new QAction(QStringLiteral("Torvane について(&A)"), this);
  AboutAction->setObjectName(QStringLiteral("AboutAction"));
  connect(AboutAction, &QAction::triggered, this,
          [this] { showHelp(QStringLiteral("Torvane について"), aboutText()); });
}

void TForm1::createMenus() {
  MenuBar = new QMenuBar(this);
  MenuBar->setObjectName(QStringLiteral("MenuBar"));
  MenuBar->setNativeMenuBar(false);  // a bar of the window's own, above its client area
  MenuBar->setFont(japaneseFont(kProportionalGothic, 12));

  QMenu* fileMenu = MenuBar->addMenu(QStringLiteral("ファイル(&F)"));
  fileMenu->addAction(Files->openAction());
  fileMenu->addAction(Files->saveAsAction());
  fileMenu->addSeparator();
  fileMenu->addMenu(Files->recentMenu());

  QMenu* tablesMenu = MenuBar->addMenu(QStringLiteral("判定表(&T)"));
  tablesMenu->addActions(TablesGroup->actions());
  tablesMenu->addSeparator();
  tablesMenu->addAction(TableChangesAction);
  tablesMenu->addSeparator();
  tablesMenu->addAction(ClassSettingsAction);

  QMenu* rewriteMenu = MenuBar->addMenu(QStringLiteral("書き換え(&R)"));
  rewriteMenu->addAction(ReadingsAction);
  rewriteMenu->setToolTipsVisible(true);  // says why the item is off when it is

  QMenu* helpMenu = MenuBar->addMenu(QStringLiteral("ヘルプ(&H)"));
  helpMenu->addAction(UsageAction);
  helpMenu->addSeparator();
  helpMenu->addAction(AboutAction);

  // The opened file and the tables in use, at a glance.
  auto* corner = new QWidget(MenuBar);
  auto* cornerRow = new QHBoxLayout(corner);
  cornerRow->setContentsMargins(0, 0, 0, 0);
  cornerRow->setSpacing(0);
  Files->fileLabel()->setParent(corner);
  cornerRow->addWidget(Files->fileLabel());
  TablesLabel = new QLabel(corner);
  TablesLabel->setObjectName(QStringLiteral("TablesLabel"));
  TablesLabel->setContentsMargins(0, 0, 8, 0);
  cornerRow->addWidget(TablesLabel);
  MenuBar->setCornerWidget(corner, Qt::TopRightCorner);

  MenuBar->setGeometry(0, 0, 792, MenuBar->sizeHint().height());
  // F10 opens the first menu, as on other desktops.
  auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(f10, &QShortcut::activated, this, [this] {
    MenuBar->setFocus(Qt::MenuBarFocusReason);
    MenuBar->setActiveAction(MenuBar->actions().constFirst());
  });

  QSettings choices = storedChoices();
  const QString stored = choices.value(kTablesKey).toString();
  // What was typed last time comes back through the parsers, so a damaged file gives lists a
  // check can use.
  const std::string known = choices.value(kKnownKey).toString().toStdString();
  auto knownKanji = checker::parseKnownKanji(known);
  if (auto* parsed = std::get_if<checker::KnownKanji>(&knownKanji)) {
    classSettings_.known = std::move(parsed->kanji);
  }
  const std::string allowed =
      choices.value(kAllowedKey).toStringList().join(QLatin1Char('\n')).toStdString();
  auto words = checker::parseAllowedWords(allowed);
  if (auto* parsed = std::get_if<std::vector<std::string>>(&words)) {
    classSettings_.allowed = std::move(*parsed);
  }
  classSettings_.checkReadings = choices.value(kCheckReadingsKey, false).toBool();
  if (!classSettings_.allowed.empty()) {
    allowedWords_ = std::make_shared<checker::AllowedWords>(classSettings_.allowed);
  }
  showTables(stored == QLatin1String("2020") ? tables::TableSet::Tables2020
                                             : tables::TableSet::Tables1989);
}

void TForm1::setClassSettings(checker::ClassSettings settings) {
  classSettings_ = std::move(settings);
  taughtClassifier_.reset();
  allowedWords_ = classSettings_.allowed.empty()
                      ? nullptr
                      : std::make_shared<checker::AllowedWords>(classSettings_.allowed);
  QSettings choices = storedChoices();
  choices.setValue(kKnownKey,
                   QString::fromStdString(checker::knownKanjiFile(classSettings_.known)));
  QStringList words;
  for (const std::string& word : classSettings_.allowed) words << QString::fromStdString(word);
  choices.setValue(kAllowedKey, words);
  choices.setValue(kCheckReadingsKey, classSettings_.checkReadings);
  showTablesLabel();
}

const checker::Classifier& TForm1::classifierForCheck() {
  if (classSettings_.known.empty()) return classifierInUse();
  if (!taughtClassifier_ || taughtTables_ != tableSet_) {
    taughtClassifier_ =
        std::make_unique<checker::Classifier>(classifierInUse().withKnown(classSettings_.known));
    taughtTables_ = tableSet_;
  }
  return *taughtClassifier_;
}

// Refused during a check, like the other dialogs: it would hold the pass.
void TForm1::showClassSettings() {
  if (!Classifier || checking_ || RichEdit1->isPasting()) return;
  runCommand(
      [this] {
        ClassSettingsDialog dialog(classSettings_, classifierInUse(),
                                   checkedTextOf(*RichEdit1->document()), this);
        if (dialog.exec() != QDialog::Accepted) return;
        if (const std::optional<checker::ClassSettings> chosen = dialog.settings()) {
          setClassSettings(*chosen);
        }
      },
      QStringLiteral("クラスの設定"));
}

// Choosing a set does not re-run the check, like choosing a level; the choice is kept for the
// next start.
void TForm1::chooseTables(tables::TableSet set) {
  showTables(set);
  QSettings choices = storedChoices();
  choices.setValue(kTablesKey, set == tables::TableSet::Tables2020 ? QStringLiteral("2020")
                                                                   : QStringLiteral("1989"));
}

void TForm1::showTables(tables::TableSet set) {
  tableSet_ = set;
  (set == tables::TableSet::Tables2020 ? Tables2020Action : Tables1989Action)->setChecked(true);
  showTablesLabel();
}

// The tables, and what the class has learnt when it has: 「判定表：2020年度から・習った漢字 12・
// 許可語 5・読み方も判定」.
void TForm1::showTablesLabel() {
  QString text = tableSet_ == tables::TableSet::Tables2020 ? QStringLiteral("判定表：2020年度から")
                                                           : QStringLiteral("判定表：1989年告示");
  if (!classSettings_.known.empty()) {
    text += QStringLiteral("・習った漢字 %1").arg(classSettings_.known.size());
  }
  if (!classSettings_.allowed.empty()) {
    text += QStringLiteral("・許可語 %1").arg(classSettings_.allowed.size());
  }
  if (classSettings_.checkReadings) text += QStringLiteral("・読み方も判定");
  TablesLabel->setText(text);
  // The bar sizes its corner when it is set.
  TablesLabel->parentWidget()->adjustSize();
  MenuBar->setCornerWidget(TablesLabel->parentWidget(), Qt::TopRightCorner);
}

void TForm1::offerDialogs(bool offered) {
  for (QAction* action : {Files->openAction(), Files->saveAsAction(), TableChangesAction,
                          ClassSettingsAction, UsageAction, AboutAction})
    action->setEnabled(offered);  // their shortcuts with them
}

// Lists the characters whose stage differs between the sets: the text's own, or with no text
// every change of the tables.
void TForm1::showTableChanges() {
  // Closed, checking (the dialog would hold the pass), or the text is going in.
  if (!Classifier2020 || checking_ || RichEdit1->isPasting()) return;
  runCommand(
      [this] {
        const sjis::SjisText text =
            encodeBoxText(checkedTextOf(*RichEdit1->document()), false).text;
        const bool forText = !text.empty();
        std::vector<checker::TableChange> rows =
            forText ? checker::tableChanges(text, *Classifier, *Classifier2020)
                    : checker::allTableChanges(*Classifier, *Classifier2020);
        TableChangesDialog dialog(std::move(rows), forText, this);
        dialog.exec();
      },
      QStringLiteral("表の違いの表示"));
}

void TForm1::showHelp(const QString& title, const QString& richText) {
  if (checking_) return;  // the box would hold the pass until it is closed
  showTextBox(this, title, richText);
}

void TForm1::offerReadingsAfterCheck() {
  Readings->offer();
}

// At the level and with the tables of the last check.
void TForm1::showReadings() {
  if (checking_ || !Classifier || RichEdit1->isPasting()) return;
  // With the known kanji and the allowed words of the class, so that they are no red word here
  // either.
  const checker::Classifier& plain =
      checkedTables_ == tables::TableSet::Tables2020 ? *Classifier2020 : *Classifier;
  Readings->propose(RichEdit1, checkedLevel_,
                    checkedTables_ == tableSet_ ? classifierForCheck() : plain,
                    {classSettings_.known, allowedWords_, classSettings_.checkReadings});
}

}  // namespace torvane::ui
