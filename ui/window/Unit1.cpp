#include "ui/window/Unit1.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QWindow>

#include "checker/check_pass.h"
#include "checker/table_sets.h"
#include "ui/look/app_icon.h"
#include "ui/look/fonts.h"
#include "ui/look/glyphs.h"
#include "ui/look/logo.h"
#include "ui/window/file_commands.h"
#include "ui/window/message_boxes.h"
#include "ui/window/placement.h"
#include "ui/window/tooltips.h"
#include "ui/window/window_view.h"

TForm1* Form1 = nullptr;

namespace torvane::ui {
namespace {

constexpr QSize kClientSize(792, 566);
const QColor kMoneyGreen(192, 220, 192);
const QColor kAqua(0, 255, 255);
const QColor kYellow(255, 255, 0);

template <class Control>
Control* place(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* control = new Control(parent);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(left, top, width, height);
  return control;
}

void fill(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = control->palette();
  palette.setColor(role, colour);
  control->setPalette(palette);
}

QPushButton* commandButton(QWidget* parent, const char* name, const QRect& at,
                           const QString& caption, const QString& hint) {
  auto* button = place<QPushButton>(parent, name, at.x(), at.y(), at.width(), at.height());
  button->setText(caption);
  button->setFont(japaneseFont(kProportionalGothic, 16));
  setHint(button, hint);
  return button;
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("(^-^)) Torvane"));
  setWindowIcon(applicationIcon());
  setFont(japaneseFont(kGothic, 11));
  fill(this, QPalette::Window, kMoneyGreen);
  setAutoFillBackground(true);

  // The menu bar lies above the client area, which keeps its size and every control its place;
  // the window grows by the menu bar's height.
  createActions();
  createMenus();
  ClientArea = place<QWidget>(this, "ClientArea", 0, MenuBar->height(), kClientSize.width(),
                              kClientSize.height());
  setFixedSize(kClientSize + QSize(0, MenuBar->height()));

  createBanner();
  createCommandRow();
  createTextBoxes();
  arrangeTabOrder();
  Button4->setFocus();

  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
  connect(RichEdit1, &PasteBox::failed, this, [](const QString& message) { showFailure(message); });
  Files->setBox(RichEdit1);
  connect(RichEdit1, &PasteBox::fileDropped, Files, &FileCommands::openFile);
  FormCreate();
}

void TForm1::FormCreate() {
  // Both sets of tables are built now, so that choosing one costs nothing later.
  ClassStrings = tables::loadClassStrings(tables::TableSet::Tables1989);
  ClassStrings2020 = tables::loadClassStrings(tables::TableSet::Tables2020);
  Classifier = std::make_unique<checker::Classifier>(ClassStrings);
  Classifier2020 = std::make_unique<checker::Classifier>(ClassStrings2020);
  Results = std::make_unique<checker::ResultLists>();
  ComboBox1->setCurrentIndex(0);
  setHint(RichEdit1, RichEdit1->toolTip() + QStringLiteral("\r\nまたは、文字を直接入力します"));
}

void TForm1::FormClose() {
  Results.reset();
}

void TForm1::runCommand(const std::function<void()>& command, const QString& doing) {
  try {
    command();
  } catch (...) {
    showFailure(failureMessage(std::current_exception(), doing));
  }
}

void TForm1::Button1Click() {
  // One check at a time, and none while a paste is still going in.
  if (checking_ || !Results || RichEdit1->isPasting()) return;
  checking_ = true;
  RichEdit1->setReadOnly(true);  // the text stays as the pass reads it
  offerDialogs(false);
  const tables::TableSet tables = tableSet_;
  runCommand(
      [&] {
        readingNotes_.clear(*RichEdit1);  // the check colours the text afresh
        WindowCheckView view(*this);
        activeView_ = &view;
        // Before the view goes, so that a failure box finds the window as it was.
        const auto done = qScopeGuard([&] {
          activeView_ = nullptr;
          lastLongestGapMs_ = view.longestEventGapMs();
        });
        const checker::Classifier& classifier = classifierForCheck();
        checker::CheckEnd end;
        if (classSettings_.known.empty() && !allowedWords_) {
          // Nothing the class has learnt: the box's text is checked from its code points.
          end = view.runCheck(checker::unicodeClassifierFor(tables), *Results);
        } else {
          if (allowedWords_) {
            // The pass finds the words as it goes, a lookup a character.
            end = checker::runCheck(
                view, checker::AllowingClassifier<checker::Classifier>(classifier, *allowedWords_),
                *Results);
          } else {
            end = checker::runCheck(view, classifier, *Results);
          }
        }
        if (end == checker::CheckEnd::Completed) {
          // The proposals follow the colours: the level changes while the pass runs, so the
          // level now may be one no character was classified at.
          checkedLevel_ = view.levelOfLastCharacter();
          checkedTables_ = tables;
          offerReadingsAfterCheck();
          // 「読み方も判定する」: the readings of the kanji the check let pass, judged with the
          // classifier it ran with.
          if (classSettings_.checkReadings) {
            readingNotes_.run(*RichEdit1, *RichEdit2, checkedLevel_, classifier,
                              classSettings_.known, allowedWords_);
          }
        }
      },
      QStringLiteral("チェック"));
  RichEdit1->setReadOnly(false);
  offerDialogs(true);
  checking_ = false;
  if (closeAfterCheck_) close();
}

void TForm1::Button2Click() {
  close();
}

void TForm1::Button3Click() {
  if (RichEdit1->isPasting()) return;  // half a text is no copy
  runCommand([this] {
    // During a check the box holds the text as it stands, colours so far included.
    QTextCursor all = RichEdit1->textCursor();
    all.select(QTextCursor::Document);
    RichEdit1->setTextCursor(all);
    // Rich text (HTML and OpenDocument) and plain text, colours included; a long text's forms
    // are built on a worker from what the box holds now.
    RichEdit1->copySelection();
  });
}

void TForm1::Button4Click() {
  // The text is being checked, or a paste is still going in: like a second check, ignored.
  if (checking_ || RichEdit1->isPasting() || Files->isOpening()) return;
  runCommand(
      [this] {
        // One undo step brings the old text back. The report goes once the new text is in: a
        // paste that fails leaves both boxes as they were.
        RichEdit1->replaceAllWithClipboard([this] {
          RichEdit2->clear();
          Files->forgetOpenedFile();
        });
      },
      QStringLiteral("貼り付け"));
}

// Closing during a check stops the pass at its next byte; the window closes once it has.
void TForm1::closeEvent(QCloseEvent* event) {
  if (checking_) {
    closeAfterCheck_ = true;
    if (activeView_ != nullptr) activeView_->requestStop();
    event->ignore();
    return;
  }
  FormClose();
  QDialog::closeEvent(event);
}

void TForm1::createBanner() {
  Shape1 = place<QWidget>(ClientArea, "Shape1", 8, 8, 159, 29);
  fill(Shape1, QPalette::Window, Qt::black);
  Shape1->setAutoFillBackground(true);

  const QImage logo = decodeJpeg(logoJpeg());
  Image1 =
      place<QLabel>(ClientArea, "Image1", 8, 8, logo.width(), logo.height());  // the picture's size
  Image1->setPixmap(QPixmap::fromImage(logo));

  const auto caption = [this](const char* name, int left, int top, int width, const QString& text) {
    auto* label = place<QLabel>(ClientArea, name, left, top, width, 12);
    label->setText(text);
    label->setFont(japaneseFont(kProportionalGothic, 12, true));
    fill(label, QPalette::WindowText, kAqua);
    label->setAutoFillBackground(false);  // transparent over the black shape
    return label;
  };
  Label1 = caption("Label1", 40, 12, 122, QStringLiteral("Torvane 漢字チェック"));
  Label2 = caption("Label2", 40, 23, 125, QStringLiteral("習った漢字で書こう"));
}

void TForm1::createCommandRow() {
  Button4 = commandButton(ClientArea, "Button4", {175, 9, 107, 27}, QStringLiteral("貼り付ける"),
                          QStringLiteral("クリップボードから文章を貼り付けます"));
  Button4->setIcon(twoStateGlyph(pasteGlyphBitmap()));
  Button4->setDefault(true);

  ComboBox1 = place<LevelComboBox>(ClientArea, "ComboBox1", 287, 10, 201, 24);
  ComboBox1->setFont(japaneseFont(kGothic, 16));
  ComboBox1->setCurrentIndex(0);  // the initial text, "一年生で習う漢字で"
  setHint(ComboBox1, QStringLiteral("チェックするレベルを選択します"));

  Button1 = commandButton(ClientArea, "Button1", {488, 9, 91, 27}, QStringLiteral("チェックする"),
                          QStringLiteral("チェックを実行します"));
  Button3 = commandButton(ClientArea, "Button3", {583, 9, 105, 27}, QStringLiteral("コピーする"),
                          QStringLiteral("文章をクリップボードにコピーします"));
  Button3->setIcon(twoStateGlyph(copyGlyphBitmap()));
  Button2 = commandButton(ClientArea, "Button2", {703, 9, 81, 27}, QStringLiteral("終了する"),
                          QStringLiteral("Torvaneを終了します"));
}

void TForm1::createTextBoxes() {
  RichEdit1 = place<PasteBox>(ClientArea, "RichEdit1", 7, 40, 777, 387);
  RichEdit1->setFont(japaneseFont(kProportionalGothic, 16));
  RichEdit1->setTabChangesFocus(true);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHint(RichEdit1, QStringLiteral("チェックする文章をここに表示します"));
  inputMethod_.watch(RichEdit1);

  RichEdit2 = place<ReportBox>(ClientArea, "RichEdit2", 7, 431, 777, 126);
  RichEdit2->setFont(japaneseFont(kProportionalGothic, 16));
  RichEdit2->setReadOnly(true);
  RichEdit2->setAcceptRichText(false);
  RichEdit2->setTabChangesFocus(true);
  RichEdit2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHint(RichEdit2, QStringLiteral("チェックした漢字を分類して表示します"));

  StaticText1 = place<QLabel>(ClientArea, "StaticText1", 376, 275, 36, 30);
  StaticText1->setText(QStringLiteral("XX"));
  StaticText1->setAlignment(Qt::AlignCenter);
  StaticText1->setFont(japaneseFont(kGothic, 32));
  fill(StaticText1, QPalette::Window, kYellow);
  StaticText1->setAutoFillBackground(true);
  StaticText1->setFocusPolicy(Qt::NoFocus);
  StaticText1->hide();
}

void TForm1::arrangeTabOrder() {
  QWidget* const order[] = {Button4, RichEdit1, Button1, Button2, ComboBox1, Button3, RichEdit2};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
}

void TForm1::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);  // a dialog centres itself on its own terms; placed again below
  if (placed_) {
    placeOnScreen(Placement::KeepInside);
    return;
  }
  placed_ = true;
  placeOnScreen(Placement::Centre);
  connect(windowHandle(), &QWindow::screenChanged, this, &TForm1::followScreen,
          Qt::UniqueConnection);
  followScreen(windowHandle()->screen());
}

// The window manager tells the frame's size only once the window is mapped, and under load it
// may report a frame that does not fit the window yet; the first believable frame, whenever it
// comes, places the window again so that the frame, title bar included, is centred.
bool TForm1::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  const bool reported =
      event->type() == QEvent::WindowActivate ||
      ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && event->spontaneous());
  if (reported && placed_ && !framePlaced_ && knownFrame() != geometry()) {
    framePlaced_ = true;
    // Centred only if nothing has moved the window since it was placed; kept inside otherwise.
    placeOnScreen(geometry().topLeft() == placedAt_ ? Placement::Centre : Placement::KeepInside);
  }
  return handled;
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (placed_ && isVisible()) placeOnScreen(Placement::KeepInside);
}

// On another screen, or when the screen's area changes (a panel, a new resolution), the frame
// is brought inside the area it now has.
void TForm1::followScreen(QScreen* screen) {
  disconnect(screenArea_);
  if (screen == nullptr) return;
  screenArea_ = connect(screen, &QScreen::availableGeometryChanged, this,
                        [this] { placeOnScreen(Placement::KeepInside); });
  if (placed_) placeOnScreen(Placement::KeepInside);
}

QRect TForm1::knownFrame() const {
  return ui::knownFrame(frameGeometry(), geometry());
}

void TForm1::placeOnScreen(Placement placement) {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect available = screen->availableGeometry();
  if (available.isEmpty()) available = screen->geometry();
  if (available.isEmpty()) return;
  const QRect client = geometry();
  const QRect frame = knownFrame();
  const QRect target =
      placement == Placement::Centre ? placedFrame(frame, available) : keptInside(frame, available);
  // The client area is placed, not the frame: its position does not depend on what the window
  // system believes the frame to be.
  placedAt_ = client.topLeft() + (target.topLeft() - frame.topLeft());
  if (placedAt_ != client.topLeft()) setGeometry(QRect(placedAt_, client.size()));
}

// Esc would close a dialog; the main window closes only by its quit button or its frame.
void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace torvane::ui
