#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTextEdit>

#include "ui/look/fonts.h"
#include "ui/window/tooltips.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

struct Expected {
  const char* name;
  QRect geometry;
  QString text;
  QString hint;
  QString face;  // empty: the control keeps the window's font
  int pixelHeight;
  bool bold;
};

QString textOf(QWidget* control) {
  if (auto* button = qobject_cast<QPushButton*>(control)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText();
  if (auto* edit = qobject_cast<QTextEdit*>(control)) return edit->toPlainText();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) return edit->toPlainText();
  return {};
}

TEST_F(MainWindowTest, EveryControlAtItsPlaceWithItsTextHintAndFont) {
  const QString gothic = ui::kGothic, pGothic = ui::kProportionalGothic;
  const Expected controls[] = {
      {"Shape1", {8, 8, 159, 29}, {}, {}, {}, 0, false},
      {"Image1", {8, 8, 31, 29}, {}, {}, {}, 0, false},
      {"Label1", {40, 12, 122, 12}, QStringLiteral("Torvane 漢字チェック"), {}, pGothic, 12, true},
      {"Label2", {40, 23, 125, 12}, QStringLiteral("習った漢字で書こう"), {}, pGothic, 12, true},
      {"Button4",
       {175, 9, 107, 27},
       QStringLiteral("貼り付ける"),
       QStringLiteral("クリップボードから文章を貼り付けます"),
       pGothic,
       16,
       false},
      {"ComboBox1",
       {287, 10, 201, 24},
       QStringLiteral("一年生で習う漢字で"),
       QStringLiteral("チェックするレベルを選択します"),
       gothic,
       16,
       false},
      {"Button1",
       {488, 9, 91, 27},
       QStringLiteral("チェックする"),
       QStringLiteral("チェックを実行します"),
       pGothic,
       16,
       false},
      {"Button3",
       {583, 9, 105, 27},
       QStringLiteral("コピーする"),
       QStringLiteral("文章をクリップボードにコピーします"),
       pGothic,
       16,
       false},
      {"Button2",
       {703, 9, 81, 27},
       QStringLiteral("終了する"),
       QStringLiteral("Torvaneを終了します"),
       pGothic,
       16,
       false},
      {"RichEdit1",
       {7, 40, 777, 387},
       {},
       QStringLiteral("チェックする文章をここに表示します\nまたは、文字を直接入力します"),
       pGothic,
       16,
       false},
      {"RichEdit2",
       {7, 431, 777, 126},
       {},
       QStringLiteral("チェックした漢字を分類して表示します"),
       pGothic,
       16,
       false},
      {"StaticText1", {376, 275, 36, 30}, QStringLiteral("XX"), {}, gothic, 32, false},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(e.name);
    QWidget* widget = control(e.name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), e.geometry);
    EXPECT_EQ(textOf(widget), e.text);
    EXPECT_EQ(widget->toolTip(), e.hint);
    if (!e.hint.isEmpty()) {
      EXPECT_EQ(widget->toolTipDuration(), ui::kToolTipDurationMs);
    }
    if (!e.face.isEmpty()) {
      EXPECT_EQ(widget->font().family(), e.face);
      EXPECT_EQ(widget->font().pixelSize(), e.pixelHeight);
      EXPECT_EQ(widget->font().bold(), e.bold);
    }
  }
}

TEST_F(MainWindowTest, FixedDialogFrameWithCaptionAndMoneyGreen) {
  EXPECT_EQ(window().windowTitle(), QStringLiteral("(^-^)) Torvane"));
  // The client area keeps its size; the menu bar lies above it and the window grows by it.
  const auto* menuBar = control("MenuBar");
  ASSERT_NE(menuBar, nullptr);
  EXPECT_EQ(control("ClientArea")->geometry(), QRect(0, menuBar->height(), 792, 566));
  EXPECT_EQ(window().size(), QSize(792, 566 + menuBar->height()));
  EXPECT_EQ(menuBar->geometry(), QRect(0, 0, 792, menuBar->height()));
  EXPECT_EQ(window().minimumSize(), window().maximumSize()) << "not resizable";
  const Qt::WindowFlags flags = window().windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_EQ(window().palette().color(QPalette::Window), QColor(192, 220, 192));
  EXPECT_EQ(window().font().family(), ui::kGothic);
  EXPECT_EQ(window().font().pixelSize(), 11);
  const QRect screen = window().screen()->availableGeometry();
  EXPECT_LE((window().frameGeometry().center() - screen.center()).manhattanLength(), 2)
      << "centred";
}

TEST_F(MainWindowTest, BannerLooks) {
  auto* shape = control("Shape1");
  EXPECT_EQ(shape->palette().color(QPalette::Window), QColor(Qt::black));
  for (const char* name : {"Label1", "Label2"}) {
    auto* label = control<QLabel>(name);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 255, 255)) << name;
    EXPECT_FALSE(label->autoFillBackground()) << name << " is transparent";
  }
  auto* image = control<QLabel>("Image1");
  EXPECT_EQ(image->pixmap().size(), QSize(31, 29));
  // Stacked over the black shape, and the captions over both.
  const auto children = shape->parentWidget()->children();
  EXPECT_LT(children.indexOf(shape), children.indexOf(image));
  EXPECT_LT(children.indexOf(image), children.indexOf(control("Label1")));
}

TEST_F(MainWindowTest, JapaneseFacesResolveToFacesThatCoverJapanese) {
  for (const QString& face : {ui::kGothic, ui::kProportionalGothic}) {
    const QFont font = ui::japaneseFont(face, 16);
    const QFontMetrics metrics(font);
    for (char32_t c : {U'漢', U'あ', U'ア', U'１'}) {
      EXPECT_TRUE(metrics.inFontUcs4(c))
          << face.toStdString() << " lacks " << static_cast<unsigned>(c);
    }
    EXPECT_TRUE(QFontInfo(font).family().startsWith(QStringLiteral("IPA")))
        << QFontInfo(font).family().toStdString();
  }
  EXPECT_EQ(QFontInfo(ui::japaneseFont(ui::kGothic, 16)).family(), QStringLiteral("IPAGothic"));
  EXPECT_EQ(QFontInfo(ui::japaneseFont(ui::kProportionalGothic, 16)).family(),
            QStringLiteral("IPAPGothic"));
}

TEST_F(MainWindowTest, FocusStartsOnPasteAndTabFollowsTheOrder) {
  EXPECT_EQ(QApplication::focusWidget(), control("Button4"));
  const char* order[] = {"RichEdit1", "Button1",   "Button2", "ComboBox1",
                         "Button3",   "RichEdit2", "Button4"};
  for (const char* name : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* focused = QApplication::focusWidget();
    // The drop-down's focus lies in its line edit.
    if (focused != nullptr && focused->parentWidget() == control("ComboBox1"))
      focused = focused->parentWidget();
    EXPECT_EQ(focused, control(name))
        << "expected " << name << ", got "
        << (focused ? focused->objectName().toStdString() : "nothing");
  }
}

TEST_F(MainWindowTest, EnterPressesPasteUnlessTheControlTakesEnter) {
  auto* paste = control<QPushButton>("Button4");
  EXPECT_TRUE(paste->isDefault());
  EXPECT_FALSE(control<QPushButton>("Button1")->isDefault());
  QSignalSpy pasted(paste, &QPushButton::clicked);

  auto* combo = control<QComboBox>("ComboBox1");
  combo->setFocus();
  QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(pasted.count(), 1) << "from the drop-down with its list closed";
  EXPECT_EQ(combo->count(), 7) << "Enter adds nothing to the list";

  // Regression: Enter in the report box pasted over the user's text.
  auto* report = control<QTextEdit>("RichEdit2");
  report->setFocus();
  QTest::keyClick(report, Qt::Key_Return);
  QTest::keyClick(report, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(pasted.count(), 1) << "the multi-line report box takes Enter itself";

  auto* text = control<QPlainTextEdit>("RichEdit1");
  text->setFocus();
  typeText(text, QStringLiteral("あ"));
  QTest::keyClick(text, Qt::Key_Return);
  typeText(text, QStringLiteral("い"));
  EXPECT_EQ(pasted.count(), 1) << "the text box takes Enter itself";
  EXPECT_EQ(text->toPlainText(), QStringLiteral("あ\nい"));
}

TEST_F(MainWindowTest, EscapeLeavesTheWindowOpen) {
  QTest::keyClick(control("Button4"), Qt::Key_Escape);
  EXPECT_TRUE(window().isVisible());
}

TEST_F(MainWindowTest, TextBoxes) {
  auto* text = control<QPlainTextEdit>("RichEdit1");
  EXPECT_FALSE(text->isReadOnly());
  EXPECT_TRUE(text->tabChangesFocus());
  EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  auto* report = control<QTextEdit>("RichEdit2");
  EXPECT_TRUE(report->isReadOnly());
  EXPECT_FALSE(report->acceptRichText());
  EXPECT_EQ(report->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(MainWindowTest, ProgressBoxIsHiddenCentredYellowAndNeverFocused) {
  auto* progress = control<QLabel>("StaticText1");
  EXPECT_FALSE(progress->isVisible());
  EXPECT_EQ(progress->alignment(), Qt::AlignCenter);
  EXPECT_EQ(progress->palette().color(QPalette::Window), QColor(255, 255, 0));
  EXPECT_EQ(progress->focusPolicy(), Qt::NoFocus);
  progress->show();
  QTest::mouseClick(progress, Qt::LeftButton);
  EXPECT_NE(QApplication::focusWidget(), progress);
  for (int i = 0; i < 10; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), progress);
  }
}

TEST_F(MainWindowTest, TooltipTimings) {
  EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
  QLabel probe;
  ui::setHint(&probe, QStringLiteral("一行目\r\n二行目"));
  EXPECT_EQ(probe.toolTip(), QStringLiteral("一行目\n二行目")) << "a new line at every CR LF";
  EXPECT_EQ(probe.toolTipDuration(), 2500);
}

}  // namespace
}  // namespace torvane::testing
