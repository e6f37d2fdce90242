#include "ui/dialogs/class_settings/class_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <variant>

#include "checker/allowed_words.h"
#include "sjis/codec.h"
#include "ui/dialogs/class_settings/allowed_words_model.h"
#include "ui/textbox/checked_box_text.h"
#include "ui/window/message_boxes.h"

namespace torvane::ui {
namespace {

const QString kTitle = QStringLiteral("クラスの設定");

QString fromUtf32(const std::vector<char32_t>& characters, const QString& between) {
  QStringList out;
  for (char32_t c : characters) out << QString::fromUcs4(&c, 1);
  return out.join(between);
}

std::string utf8Of(const QPlainTextEdit* edit) {
  return edit->toPlainText().toStdString();
}

// The typed known kanji: every kanji counts, every other character is ignored (and named). A box
// has no lines to limit, unlike a file.
checker::KnownKanji typedKnown(const QPlainTextEdit* edit) {
  checker::KnownKanji out;
  for (char32_t c : edit->toPlainText().toStdU32String()) {
    if (checker::isKanji(c)) {
      out.kanji.push_back(c);
    } else if (!QChar::isSpace(c) &&
               std::find(out.ignored.begin(), out.ignored.end(), c) == out.ignored.end()) {
      out.ignored.push_back(c);
    }
  }
  std::ranges::sort(out.kanji);
  const auto [first, last] = std::ranges::unique(out.kanji);
  out.kanji.erase(first, last);
  return out;
}

// A file's bytes, no further than one byte past the largest list.
std::optional<std::string> readList(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.read(static_cast<qint64>(checker::kMaxListFileBytes) + 1);
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes.toStdString();
}

bool writeWhole(const QString& path, const std::string& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void warn(QWidget*, const QString& text) {
  showMessageBox(QMessageBox::Warning, kTitle, text);
}

}  // namespace

QString japaneseText(const checker::ListProblem& problem, const QString& source) {
  using Kind = checker::ListProblem::Kind;
  switch (problem.kind) {
    case Kind::NotUtf8:
      return QStringLiteral("%1 の %2 行目は UTF-8 の文字として読めません。")
          .arg(source)
          .arg(problem.line);
    case Kind::Empty: return QStringLiteral("%1 は空です（一覧がありません）。").arg(source);
    case Kind::TooLarge:
      return QStringLiteral("%1 は 1 MB を超えているので、一覧として読み込めません。").arg(source);
    case Kind::LineTooLong:
      return QStringLiteral("%1 の %2 行目が %3 文字を超えています。")
          .arg(source)
          .arg(problem.line)
          .arg(checker::kMaxListLineChars);
  }
  return source;
}

ClassSettingsDialog::ClassSettingsDialog(const checker::ClassSettings& settings,
                                         const checker::Classifier& classifier, QString boxText,
                                         QWidget* parent)
    : QDialog(parent), classifier_(classifier), boxText_(std::move(boxText)) {
  setObjectName(QStringLiteral("ClassSettingsDialog"));
  setWindowTitle(kTitle);
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel(
      QStringLiteral("習った漢字（学年より先に習った漢字を入力または貼り付け。赤くなりません）"),
      this));
  knownEdit_ = new QPlainTextEdit(this);
  knownEdit_->setObjectName(QStringLiteral("KnownEdit"));
  knownEdit_->setPlainText(QString::fromStdString(checker::knownKanjiFile(settings.known)));
  layout->addWidget(knownEdit_);
  knownGroups_ = new QLabel(this);
  knownGroups_->setObjectName(QStringLiteral("KnownGroups"));
  knownGroups_->setWordWrap(true);
  knownGroups_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(knownGroups_);

  const auto fileButtons = [this, layout](bool known) {
    auto* row = new QHBoxLayout;
    auto* load = new QPushButton(QStringLiteral("読み込む(&%1)…").arg(known ? 'O' : 'L'), this);
    auto* save = new QPushButton(QStringLiteral("書き出す(&%1)…").arg(known ? 'S' : 'E'), this);
    load->setObjectName(known ? QStringLiteral("KnownImportButton")
                              : QStringLiteral("AllowedImportButton"));
    save->setObjectName(known ? QStringLiteral("KnownExportButton")
                              : QStringLiteral("AllowedExportButton"));
    load->setAutoDefault(false);
    save->setAutoDefault(false);
    connect(load, &QPushButton::clicked, this, [this, known] { chooseAndImport(known); });
    connect(save, &QPushButton::clicked, this, [this, known] { chooseAndExport(known); });
    row->addStretch();
    row->addWidget(load);
    row->addWidget(save);
    layout->addLayout(row);
  };
  fileButtons(true);

  layout->addWidget(new QLabel(
      QStringLiteral("許可語（人名・地名・教科の用語など。1 行に 1 語。# で始まる行は無視）"),
      this));
  auto* words = new QHBoxLayout;
  allowedEdit_ = new QPlainTextEdit(this);
  allowedEdit_->setObjectName(QStringLiteral("AllowedEdit"));
  allowedEdit_->setPlainText(QString::fromStdString(checker::allowedWordsFile(settings.allowed)));
  allowedModel_ = new AllowedWordsModel(this);
  allowedView_ = new QTableView(this);
  allowedView_->setObjectName(QStringLiteral("AllowedView"));
  allowedView_->setModel(allowedModel_);
  allowedView_->verticalHeader()->hide();
  allowedView_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  words->addWidget(allowedEdit_);
  words->addWidget(allowedView_);
  layout->addLayout(words);
  fileButtons(false);

  checkReadings_ = new QCheckBox(QStringLiteral("読み方も判定する(&R)"), this);
  checkReadings_->setObjectName(QStringLiteral("CheckReadingsBox"));
  checkReadings_->setChecked(settings.checkReadings);
  layout->addWidget(checkReadings_);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &ClassSettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ClassSettingsDialog::reject);
  layout->addWidget(buttons);

  // The counts follow the typing a moment later, made on a worker: a long text takes longer
  // to search than the window may wait.
  recountSoon_.setSingleShot(true);
  recountSoon_.setInterval(250);
  connect(&recountSoon_, &QTimer::timeout, this, &ClassSettingsDialog::recount);
  connect(&counter_, &QFutureWatcher<std::vector<std::size_t>>::finished, this, [this] {
    counting_ = false;
    allowedModel_->setCounts(countedWords_, counter_.result());
    if (recountWaiting_) recount();
  });
  connect(knownEdit_, &QPlainTextEdit::textChanged, this, &ClassSettingsDialog::showKnownGroups);
  connect(allowedEdit_, &QPlainTextEdit::textChanged, this, [this] { recountSoon_.start(); });
  showKnownGroups();
  recount();
  resize(640, 560);
}

ClassSettingsDialog::~ClassSettingsDialog() {
  counter_.waitForFinished();
}

void ClassSettingsDialog::showKnownGroups() {
  const checker::KnownKanji known = typedKnown(knownEdit_);
  const auto byStage = checker::knownByStage(known.kanji, classifier_);
  QStringList lines;
  for (std::size_t stage = 0; stage < byStage.size(); ++stage) {
    if (byStage[stage].empty()) continue;
    lines << QStringLiteral("%1：%2").arg(
        QString::fromUtf8(checker::stageWords(static_cast<checker::Stage>(stage))),
        fromUtf32(byStage[stage], QStringLiteral(" ")));
  }
  if (lines.isEmpty()) lines << QStringLiteral("習った漢字はまだありません。");
  if (!known.ignored.empty()) {
    lines << QStringLiteral("漢字でないので無視する文字：%1")
                 .arg(fromUtf32(known.ignored, QStringLiteral(" ")));
  }
  knownGroups_->setText(lines.join(QLatin1Char('\n')));
}

void ClassSettingsDialog::recount() {
  if (counting_) {
    recountWaiting_ = true;
    return;
  }
  recountWaiting_ = false;
  auto parsed = checker::parseAllowedWords(utf8Of(allowedEdit_));
  if (std::holds_alternative<checker::ListProblem>(parsed)) {
    // An empty list has nothing to count; a line too long keeps the words shown until fixed.
    if (std::get<checker::ListProblem>(parsed).kind != checker::ListProblem::Kind::Empty) return;
    parsed = std::vector<std::string>{};
  }
  allowedModel_->setWords(std::get<std::vector<std::string>>(parsed));
  countedWords_ = allowedModel_->words();
  if (countedWords_.empty()) return;
  counting_ = true;
  counter_.setFuture(QtConcurrent::run([words = countedWords_, text = boxText_] {
    const checker::AllowedWords automaton(words);
    std::vector<std::size_t> counts(words.size());
    for (const checker::AllowedOccurrence& o : automaton.find(encodeBoxText(text, false).text)) {
      ++counts[o.word];
    }
    return counts;
  }));
}

std::optional<checker::ClassSettings> ClassSettingsDialog::settings() const {
  checker::ClassSettings out;
  out.known = typedKnown(knownEdit_).kanji;
  auto parsed = checker::parseAllowedWords(utf8Of(allowedEdit_));
  if (auto* words = std::get_if<std::vector<std::string>>(&parsed)) {
    out.allowed = std::move(*words);
  } else if (std::get<checker::ListProblem>(parsed).kind != checker::ListProblem::Kind::Empty) {
    return std::nullopt;
  }
  out.checkReadings = checkReadings_->isChecked();
  return out;
}

void ClassSettingsDialog::accept() {
  auto parsed = checker::parseAllowedWords(utf8Of(allowedEdit_));
  if (const auto* problem = std::get_if<checker::ListProblem>(&parsed);
      problem != nullptr && problem->kind != checker::ListProblem::Kind::Empty) {
    // The typed words stay as they are, to be put right.
    warn(this, japaneseText(*problem, QStringLiteral("許可語")));
    return;
  }
  QDialog::accept();
}

bool ClassSettingsDialog::importKnown(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const std::optional<std::string> bytes = readList(path);
  if (!bytes) {
    warn(this, QStringLiteral("%1 を読み込めませんでした。").arg(name));
    return false;
  }
  const auto parsed = checker::parseKnownKanji(*bytes);
  if (const auto* problem = std::get_if<checker::ListProblem>(&parsed)) {
    warn(this, japaneseText(*problem, name));
    return false;
  }
  knownEdit_->setPlainText(
      QString::fromStdString(checker::knownKanjiFile(std::get<checker::KnownKanji>(parsed).kanji)));
  return true;
}

bool ClassSettingsDialog::importAllowed(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const std::optional<std::string> bytes = readList(path);
  if (!bytes) {
    warn(this, QStringLiteral("%1 を読み込めませんでした。").arg(name));
    return false;
  }
  const auto parsed = checker::parseAllowedWords(*bytes);
  if (const auto* problem = std::get_if<checker::ListProblem>(&parsed)) {
    warn(this, japaneseText(*problem, name));
    return false;
  }
  allowedEdit_->setPlainText(QString::fromStdString(
      checker::allowedWordsFile(std::get<std::vector<std::string>>(parsed))));
  return true;
}

bool ClassSettingsDialog::exportKnown(const QString& path) {
  const std::vector<char32_t> kanji = typedKnown(knownEdit_).kanji;
  if (kanji.empty()) {
    warn(this, QStringLiteral("書き出す漢字がありません。"));
    return false;
  }
  if (!writeWhole(path, checker::knownKanjiFile(kanji))) {
    warn(this, QStringLiteral("%1 に書き出せませんでした。").arg(QFileInfo(path).fileName()));
    return false;
  }
  return true;
}

bool ClassSettingsDialog::exportAllowed(const QString& path) {
  const std::optional<checker::ClassSettings> now = settings();
  if (!now) {
    accept();  // says which line is too long, and stays open
    return false;
  }
  if (now->allowed.empty()) {
    warn(this, QStringLiteral("書き出す許可語がありません。"));
    return false;
  }
  if (!writeWhole(path, checker::allowedWordsFile(now->allowed))) {
    warn(this, QStringLiteral("%1 に書き出せませんでした。").arg(QFileInfo(path).fileName()));
    return false;
  }
  return true;
}

void ClassSettingsDialog::chooseAndImport(bool known) {
  const QString path = QFileDialog::getOpenFileName(
      this, known ? QStringLiteral("習った漢字を読み込む") : QStringLiteral("許可語を読み込む"),
      QString(), QStringLiteral("テキスト (*.txt);;すべてのファイル (*)"));
  if (path.isEmpty()) return;
  known ? importKnown(path) : importAllowed(path);
}

void ClassSettingsDialog::chooseAndExport(bool known) {
  const QString path = QFileDialog::getSaveFileName(
      this, known ? QStringLiteral("習った漢字を書き出す") : QStringLiteral("許可語を書き出す"),
      known ? QStringLiteral("習った漢字.txt") : QStringLiteral("許可語.txt"),
      QStringLiteral("テキスト (*.txt)"));
  if (path.isEmpty()) return;
  known ? exportKnown(path) : exportAllowed(path);
}

}  // namespace torvane::ui
