#include "ui/dialogs/readings/readings_dialog.h"

#include <QClipboard>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <new>

#include "documents/check_marks.h"
#include "documents/writers.h"
#include "rewriting/checked_source.h"
#include "ui/dialogs/readings/readings_delegates.h"
#include "ui/dialogs/readings/readings_model.h"
#include "ui/look/fonts.h"
#include "ui/textbox/box_edits.h"
#include "ui/textbox/clipboard_job.h"
#include "ui/textbox/paste_box.h"
#include "ui/window/file_commands.h"
#include "ui/window/message_boxes.h"

namespace torvane::ui {
namespace {

const QString kTitle = QStringLiteral("読みがなの案");
// Up to this many proposals the rewrite and the edits take a few milliseconds: made at once.
constexpr std::size_t kProposalsAtOnce = 2000;

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Why a file could not be written, in words a teacher can act on.
QString saveProblem(QFileDevice::FileError error) {
  switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
      return QStringLiteral(
          "ファイルを作れませんでした。フォルダーがあるか、書き込んでよい場所かを確かめてください"
          "。");
    case QFileDevice::WriteError:
    case QFileDevice::ResizeError:
      return QStringLiteral(
          "書き込みの途中で失敗しました。ディスクに空きがあるかを確かめてください。");
    default: break;
  }
  return QStringLiteral("ファイルに書き込めませんでした。");
}

// The checked text with every proposal written as the rows say.
std::string rewrite(const BoxReadings& readings, std::span<const reading::ProposalRow> rows,
                    reading::Format format) {
  std::vector<reading::Proposal> proposals = readings.proposals;
  const std::vector<reading::Mode> modes = reading::applyRows(rows, proposals);
  return reading::rewrite(readings.text.view(), proposals, modes, format);
}

// `font`: the box's, for the RTF.
ClipboardFormats rubyForms(const BoxReadings& readings, std::span<const reading::ProposalRow> rows,
                           const reading::rtf::Font& font) {
  std::vector<reading::Proposal> proposals = readings.proposals;
  const std::vector<reading::Mode> modes = reading::applyRows(rows, proposals);
  auto write = [&](reading::Format format) {
    return reading::rewrite(readings.text.view(), proposals, modes, format, font);
  };
  ClipboardFormats formats{
      fromUtf8(write(reading::Format::Html)), fromUtf8(write(reading::Format::Text)), {}};
  const std::string rtf = write(reading::Format::Rtf);
  addRtf(formats.data, QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size())));
  return formats;
}

// The text as a document holds it (every paragraph ending with CR LF) and the marks of the
// rewrite in its bytes. The check's Shift_JIS is the same for either form of the line breaks,
// so the proposals stand where they were.
struct DocumentText {
  std::string text;
  documents::Marks marks;
};
DocumentText documentText(const BoxReadings& readings, std::span<const reading::ProposalRow> rows,
                          documents::ColourScope scope) {
  std::vector<reading::Proposal> proposals = readings.proposals;
  const std::vector<reading::Mode> modes = reading::applyRows(rows, proposals);
  QString text = readings.text.boxText();
  text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
  text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
  const reading::CheckedText view = readings.text.view();
  const reading::CheckedSource source(
      utf16Of(text), std::vector<checker::Span>(view.spans.begin(), view.spans.end()));
  return {std::string(source.view().utf8),
          documents::marksFor(source.view(), proposals, modes, scope)};
}

// What goes into a file of the kind its name says.
std::string savedBytes(const BoxReadings& readings, std::span<const reading::ProposalRow> rows,
                       SavedFormat format) {
  switch (format) {
    case SavedFormat::Html: return rewrite(readings, rows, reading::Format::Html);
    case SavedFormat::Text: return rewrite(readings, rows, reading::Format::Text);
    case SavedFormat::Docx:
    case SavedFormat::Odt: break;
  }
  const DocumentText document = documentText(readings, rows, documents::ColourScope::Outside);
  return format == SavedFormat::Docx ? documents::writeNewDocx(document.text, document.marks)
                                     : documents::writeNewOdt(document.text, document.marks);
}

// Writes the file whole or not at all: the problem, or nothing.
QString writeWhole(const QString& path, const std::string& bytes) {
  QSaveFile file(path);  // the old file stays whole until the new one is written
  const bool written = file.open(QIODevice::WriteOnly) &&
                       file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                           static_cast<qint64>(bytes.size()) &&
                       file.commit();
  return written ? QString() : saveProblem(file.error());
}

std::vector<BoxEdit> boxEdits(const BoxReadings& readings,
                              std::span<const reading::ProposalRow> rows) {
  std::vector<reading::Proposal> proposals = readings.proposals;
  const std::vector<reading::Mode> modes = reading::applyRows(rows, proposals);
  std::vector<BoxEdit> edits;
  for (reading::TextEdit& edit : reading::textEdits(readings.text.source(), proposals, modes)) {
    edits.push_back({static_cast<int>(edit.from), static_cast<int>(edit.to), fromUtf8(edit.text)});
  }
  return edits;
}

}  // namespace

ReadingsDialog::ReadingsDialog(CheckedBoxText text, std::vector<reading::Proposal> proposals,
                               PasteBox* box, QWidget* parent)
    : ReadingsDialog(
          std::make_shared<const BoxReadings>(BoxReadings{std::move(text), std::move(proposals)}),
          {}, box, parent) {}

ReadingsDialog::ReadingsDialog(std::shared_ptr<const BoxReadings> readings,
                               std::vector<reading::ProposalRow> rows, PasteBox* box,
                               QWidget* parent)
    : QDialog(parent),
      readings_(std::move(readings)),
      box_(box),
      model_(new ReadingsModel(
          rows.empty() ? reading::groupProposals(readings_->proposals) : std::move(rows), this)) {
  setObjectName(QStringLiteral("ReadingsDialog"));
  setWindowTitle(kTitle);
  setFont(japaneseFont(kProportionalGothic, 14));
  auto* layout = new QVBoxLayout(this);
  const bool judged = readings_->readingsJudged;
  auto* help = new QLabel(
      (judged ? QStringLiteral("チェックで赤くなった字や、まだ習わない読み方の字をふくむ語です。"
                               "読み方のわけは「読み方の注意」の欄に出ます。")
              : QStringLiteral("チェックで赤くなった字をふくむ語です。")) +
          QStringLiteral("読みと書き換えは、ダブルクリックして直せます。"
                         "ルビは「ルビの付き方」の欄のように、漢字の部分ごとに付きます。"
                         "語をクリックすると上の欄のその場所を示し、もう一度クリックすると次の場所"
                         "を示します。"),
      this);
  help->setWordWrap(true);
  layout->addWidget(help);
  createTable();
  layout->addWidget(table_, 1);
  note_ = new QLabel(this);
  note_->setObjectName(QStringLiteral("note"));
  note_->setWordWrap(true);
  layout->addWidget(note_);
  if (model_->rowCount() == 0) {
    note_->setText(judged ? QStringLiteral("チェックで赤くなった字や、まだ習わない読み方の字を"
                                           "ふくむ語はありません。")
                          : QStringLiteral("チェックで赤くなった字をふくむ語はありません。"));
  }
  createButtons();
  setOpenedFile(std::nullopt);
  resize(judged ? 1180 : 940, 520);
}

void ReadingsDialog::createTable() {
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("table"));
  table_->setModel(model_);
  auto* readings = new ReadingDelegate(table_);
  table_->setItemDelegateForColumn(ReadingsModel::Reading, readings);
  connect(readings, &ReadingDelegate::refused, this,
          [this](const QString& hint) { note_->setText(hint); });
  table_->setItemDelegateForColumn(ReadingsModel::Mode, new ModeDelegate(table_));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  // Widths from the font, not from the rows: measuring every row of a long text would hold the
  // window up.
  const QFontMetrics metrics(font());
  const int pad = metrics.horizontalAdvance(QStringLiteral("漢漢"));
  table_->setColumnWidth(ReadingsModel::Word, metrics.horizontalAdvance(QStringLiteral("漢")) * 8);
  table_->setColumnWidth(ReadingsModel::Reading,
                         metrics.horizontalAdvance(QStringLiteral("あ")) * 10 + pad);
  table_->setColumnWidth(ReadingsModel::Pieces,
                         metrics.horizontalAdvance(QStringLiteral("漢（かん）")) * 3 + pad);
  table_->setColumnWidth(
      ReadingsModel::Stage,
      metrics.horizontalAdvance(QStringLiteral("中学までに習わない(漢)字")) + pad);
  table_->setColumnWidth(
      ReadingsModel::Notes,
      metrics.horizontalAdvance(QStringLiteral("今：きん は中学で習う読み方")) + pad);
  table_->setColumnHidden(ReadingsModel::Notes, !readings_->readingsJudged);
  table_->setColumnWidth(ReadingsModel::Occurrences,
                         metrics.horizontalAdvance(QStringLiteral("回数")) + pad);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->setDefaultSectionSize(metrics.height() + 10);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid() || current.row() == shownRow_) return;
            showOccurrence(current.row(), 0);
          });
  table_->viewport()->installEventFilter(this);
  connect(table_, &QTableView::clicked, this,
          [this](const QModelIndex& index) { rowClicked(index.row()); });
}

void ReadingsDialog::createButtons() {
  auto* row = new QHBoxLayout;
  auto add = [&](const QString& text, const char* name, auto command) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);  // Enter belongs to the table's editors
    connect(button, &QPushButton::clicked, this, command);
    row->addWidget(button);
    return button;
  };
  add(QStringLiteral("ルビ付きでコピー(&C)"), "copyButton", [this] { copyWithRuby(); });
  add(QStringLiteral("保存(&S)…"), "saveButton", [this] { save(); });
  saveIntoDocument_ = add(QStringLiteral("元の文書にルビを入れて保存(&D)…"),
                          "saveIntoDocumentButton", [this] { saveIntoDocument(); });
  add(QStringLiteral("上の欄に反映(&A)"), "applyButton", [this] { applyToBox(); });
  row->addStretch(1);
  add(QStringLiteral("閉じる"), "closeButton", [this] { close(); });
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

std::string ReadingsDialog::rewritten(reading::Format format) {
  return rewrite(*readings_, model_->rows(), format);
}

reading::rtf::Font ReadingsDialog::rtfFont() const {
  return rtfFontOf(box_ != nullptr ? box_->font() : japaneseFont(kProportionalGothic, 16));
}

bool ReadingsDialog::forWorker() const {
  return readings_->proposals.size() > kProposalsAtOnce;
}

void ReadingsDialog::copyWithRuby() {
  const QString copied = QStringLiteral("ルビ付きの文章をコピーしました。");
  if (!forWorker()) {
    putOnClipboard(rubyForms(*readings_, model_->rows(), rtfFont()));
    note_->setText(copied);
    Q_EMIT copiedWithRuby();
    return;
  }
  // The rows as they stand now, and the text and proposals nobody changes, go to the worker.
  ClipboardJob* job =
      ClipboardJob::start([readings = readings_, rows = model_->rows(),
                           font = rtfFont()] { return rubyForms(*readings, rows, font); },
                          QStringLiteral("ルビ付きの文章をコピーできませんでした"));
  note_->setText(QStringLiteral("ルビ付きの文章をコピーしています…"));
  connect(job, &ClipboardJob::done, this, [this, copied](bool onClipboard) {
    note_->setText(onClipboard ? copied
                               : QStringLiteral("後からコピーしたものがあるため、ルビ付きの文章は"
                                                "クリップボードに入れませんでした。"));
    Q_EMIT copiedWithRuby();
  });
  connect(job, &ClipboardJob::failed, this, [this](const QString& message) {
    note_->clear();
    showFailure(message);
  });
}

void ReadingsDialog::save() {
  QString filter;
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("ルビ付きの文章を保存"),
                                              QStringLiteral("読みがな付き.docx"),
                                              savedFormatFilters(), &filter);
  if (path.isEmpty()) return;  // the teacher cancelled
  if (!savedFormatOf(path)) path += QLatin1Char('.') + suffixOfFilter(filter);
  saveTo(path);
}

bool ReadingsDialog::saveTo(const QString& path) {
  const std::optional<SavedFormat> format = savedFormatOf(path);
  if (!format) {
    return reportSave(path, QStringLiteral("保存できる形式は .docx、.odt、.html、.txt です。"
                                           "名前の終わりにどれかを付けてください。"));
  }
  return startSave(path,
                   [readings = readings_, rows = model_->rows(), path, format = *format](QString&) {
                     return writeWhole(path, savedBytes(*readings, rows, format));
                   });
}

void ReadingsDialog::setOpenedFile(std::optional<OpenedFile> file) {
  const bool document =
      file && file->document && file->document->format != documents::DocumentFormat::Text;
  opened_ = document ? std::move(file) : std::nullopt;
  saveIntoDocument_->setEnabled(opened_.has_value());
  saveIntoDocument_->setToolTip(
      opened_ ? QString()
              : QStringLiteral("Word 文書か OpenDocument テキストを開いたときに使えます。"));
}

void ReadingsDialog::saveIntoDocument() {
  if (!opened_) return;
  const QFileInfo original(opened_->path);
  const QString suffix = opened_->document->format == documents::DocumentFormat::Odt
                             ? QStringLiteral("odt")
                             : QStringLiteral("docx");
  const QString name = QStringLiteral("%1（ルビ付き）.%2").arg(original.completeBaseName(), suffix);
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("元の文書にルビを入れて保存"),
                                              QFileInfo(original.absolutePath(), name).filePath(),
                                              suffix == QLatin1String("odt")
                                                  ? QStringLiteral("OpenDocument テキスト (*.odt)")
                                                  : QStringLiteral("Word 文書 (*.docx)"));
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + suffix;
  saveIntoDocumentTo(path);
}

bool ReadingsDialog::saveIntoDocumentTo(const QString& path) {
  if (!opened_) return false;
  if (QFileInfo(path).absoluteFilePath() == QFileInfo(opened_->path).absoluteFilePath()) {
    // Esc and Enter keep the original: only a deliberate 「書き換える」 replaces it.
    QMessageBox ask(QMessageBox::Question, kTitle,
                    QStringLiteral("開いた文書「%1」そのものを書き換えます。よろしいですか？")
                        .arg(QFileInfo(path).fileName()),
                    QMessageBox::NoButton, this);
    QPushButton* replace = ask.addButton(QStringLiteral("書き換える"), QMessageBox::AcceptRole);
    QPushButton* keep = ask.addButton(QStringLiteral("やめる"), QMessageBox::RejectRole);
    ask.setDefaultButton(keep);
    ask.setEscapeButton(keep);
    ask.exec();
    if (ask.clickedButton() != replace) return false;
  }
  return startSave(
      path,
      [readings = readings_, rows = model_->rows(), path,
       document = opened_->document](QString& done) -> QString {
        const DocumentText text = documentText(*readings, rows, documents::ColourScope::Words);
        if (text.text != document->text) {
          return QStringLiteral(
              "上の欄の文章が文書を開いたときから変わっているため、元の文書には入れられません。"
              "「保存…」で新しい文書として保存してください。");
        }
        const documents::RoundTrip written = documents::writeRoundTrip(*document, text.marks);
        QString problem = writeWhole(path, written.bytes);
        if (problem.isEmpty() && written.wordsLeftAlone > 0) {
          done = QStringLiteral(
                     "リンクやフィールド、変更履歴などにかかる %1 語は、そのままにしました。")
                     .arg(written.wordsLeftAlone);
        }
        return problem;
      });
}

bool ReadingsDialog::startSave(const QString& path, std::function<QString(QString& done)> write) {
  if (saving_.isRunning()) {
    note_->setText(QStringLiteral("保存の途中です。終わってから、もう一度押してください。"));
    return false;
  }
  auto safely = [write = std::move(write)]() -> std::pair<QString, QString> {
    QString done;
    try {
      QString problem = write(done);
      return {problem, done};
    } catch (const documents::DocumentError& error) {
      return {documentProblem(error), {}};
    } catch (const std::bad_alloc&) {
      return {QStringLiteral("メモリが足りません。"), {}};
    } catch (...) {
      return {saveProblem(QFileDevice::UnspecifiedError), {}};
    }
  };
  if (!forWorker()) {
    const auto [problem, done] = safely();
    return reportSave(path, problem, done);
  }
  note_->setText(QStringLiteral("保存しています…"));
  saving_.disconnect(this);
  connect(&saving_, &QFutureWatcher<std::pair<QString, QString>>::finished, this, [this, path] {
    const auto [problem, done] = saving_.result();
    reportSave(path, problem, done);
  });
  saving_.setFuture(QtConcurrent::run(std::move(safely)));
  return true;
}

bool ReadingsDialog::reportSave(const QString& path, const QString& problem, const QString& done) {
  const QString name = QFileInfo(path).fileName();
  if (!problem.isEmpty()) {
    note_->clear();
    showMessageBox(QMessageBox::Warning, kTitle,
                   QStringLiteral("「%1」に保存できませんでした。\n%2").arg(name, problem));
    Q_EMIT saved(false);
    return false;
  }
  const QString message = QStringLiteral("「%1」に保存しました。").arg(name);
  note_->setText(done.isEmpty() ? message : message + done);
  if (!done.isEmpty())
    showMessageBox(QMessageBox::Information, kTitle, message + QLatin1Char('\n') + done);
  Q_EMIT saved(true);
  return true;
}

bool ReadingsDialog::applyToBox() {
  QString problem;
  if (box_ == nullptr) {
    problem = QStringLiteral("上の欄が閉じられているため、反映できません。");
  } else if (box_->isPasting()) {
    problem = QStringLiteral(
        "上の欄に文章が入っている途中です。入り終わってから、もう一度押してください。");
  } else if (box_->isReadOnly()) {
    problem = QStringLiteral(
        "チェックの途中は上の欄に反映できません。チェックが終わってから、もう一度押してください。");
  } else if (!readings_->text.matches(*box_->document())) {
    problem = QStringLiteral(
        "上の欄の文章がチェックの後で変わっているため、反映できません。"
        "もう一度チェックしてから、読みがなの案を開き直してください。");
  }
  if (!problem.isEmpty()) {
    showMessageBox(QMessageBox::Warning, kTitle, problem);
    return false;
  }
  // The box stays read-only until the edits are in, so they land where they were made for.
  QPointer<ReadingsDialog> self(this);
  box_->applyEdits(
      [readings = readings_, rows = model_->rows()] { return boxEdits(*readings, rows); },
      forWorker(),
      [self](std::size_t edits) {
        if (self == nullptr) return;
        if (edits == 0) {
          self->note_->setText(QStringLiteral("書き換える語がないため、上の欄はそのままです。"));
          return;
        }
        self->note_->setText(QStringLiteral(
            "上の欄に反映しました。上の欄で元に戻す(Ctrl+Z)と、反映の前に戻ります。"));
        Q_EMIT self->appliedToBox();
      });
  if (box_->isPasting()) note_->setText(QStringLiteral("上の欄に反映しています…"));
  return true;
}

bool ReadingsDialog::eventFilter(QObject* watched, QEvent* event) {
  // Seen before the table makes the pressed row current, which shows its first place.
  if (watched == table_->viewport() && event->type() == QEvent::MouseButtonPress)
    shownAtPress_ = shownRow_;
  return QDialog::eventFilter(watched, event);
}

void ReadingsDialog::rowClicked(int row) {
  // A click on the row already shown moves on to its next place.
  if (row == shownAtPress_) showOccurrence(row, shownOccurrence_ + 1);
}

bool ReadingsDialog::boxHoldsCheckedText() {
  if (box_ != nullptr && readings_->text.matches(*box_->document())) return true;
  note_->setText(
      QStringLiteral("上の欄の文章がチェックの後で変わっているため、語の場所を示せません。"));
  return false;
}

void ReadingsDialog::showOccurrence(int row, int which) {
  if (row < 0 || row >= model_->rowCount()) return;
  const reading::ProposalRow& r = model_->rows()[static_cast<std::size_t>(row)];
  if (r.occurrences.empty()) return;
  shownRow_ = row;
  shownOccurrence_ = which % static_cast<int>(r.occurrences.size());
  if (!boxHoldsCheckedText()) return;
  const reading::Proposal& p =
      readings_->proposals[r.occurrences[static_cast<std::size_t>(shownOccurrence_)]];
  const auto [from, to] = readings_->text.documentRange(p.offset, p.length);
  QTextCursor cursor(box_->document());
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  box_->setTextCursor(cursor);
  box_->ensureCursorVisible();
  const QString where = QStringLiteral("「%1」 %2 か所のうち %3 か所目")
                            .arg(fromUtf8(r.word))
                            .arg(r.occurrences.size())
                            .arg(shownOccurrence_ + 1);
  const QString notes = model_->index(row, ReadingsModel::Notes).data().toString();
  note_->setText(notes.isEmpty() ? where : where + QStringLiteral("　") + notes);
  Q_EMIT occurrenceShown(from, to);
}

}  // namespace torvane::ui
