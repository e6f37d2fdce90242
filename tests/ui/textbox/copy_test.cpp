// The copy of a long text, whose forms are built on a worker: the clipboard gets what the box
// held at the click, unless something was copied after it.
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>

#include <functional>
#include <new>
#include <stdexcept>

#include "message_box_answerer.h"
#include "ui/textbox/clipboard_job.h"
#include "window_fixture.h"

namespace torvane::testing {
namespace {

// More characters than are copied at once.
QString longText() {
  return QStringLiteral("漢字とかなの文。\n").repeated(4000);
}

class CopyTest : public MainWindowTest {
 protected:
  ui::PasteBox* box() { return window().RichEdit1; }
  void checkLongText() {
    box()->setPlainText(longText());
    MessageBoxAnswerer answerer;
    window().ComboBox1->setCurrentIndex(0);  // 漢 and 字 are not taught in grade 1: red
    window().Button1Click();
  }
  const QMimeData* clipboard() { return QGuiApplication::clipboard()->mimeData(); }
};

TEST_F(CopyTest, ALongCopyHoldsTheBoxAsItWasAtTheClick) {
  const struct {
    const char* what;
    std::function<void()> copy;
  } ways[] = {
      {"the copy button", [this] { window().Button3Click(); }},
      {"Ctrl+C",
       [this] {
         box()->selectAll();
         QTest::keyClick(box(), Qt::Key_C, Qt::ControlModifier);
       }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.what);
    checkLongText();
    QGuiApplication::clipboard()->clear();
    QSignalSpy done(box(), &ui::PasteBox::copyFinished);
    way.copy();
    box()->setPlainText(QStringLiteral("変わった文"));  // while the forms are being built
    ASSERT_TRUE(done.count() > 0 || done.wait(20000));
    ASSERT_NE(clipboard(), nullptr);
    EXPECT_EQ(clipboard()->text(), longText().chopped(1) + u'\n');
    EXPECT_TRUE(clipboard()->html().contains(QStringLiteral("color:#ff0000"))) << "red";
    EXPECT_TRUE(clipboard()->hasFormat(QStringLiteral("application/vnd.oasis.opendocument.text")));
  }
}

TEST_F(CopyTest, WhatWasCopiedAfterALongCopyStaysOnTheClipboard) {
  const struct {
    const char* what;
    std::function<void()> copyAgain;
    QString expected;
  } cases[] = {
      {"a short copy from the box",
       [this] {
         box()->setPlainText(QStringLiteral("短い文"));
         window().Button3Click();
       },
       QStringLiteral("短い文")},
      {"another program's copy",
       [] { QGuiApplication::clipboard()->setText(QStringLiteral("他のソフトの文")); },
       QStringLiteral("他のソフトの文")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    checkLongText();
    QSignalSpy done(box(), &ui::PasteBox::copyFinished);
    window().Button3Click();
    c.copyAgain();
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() >= 1; }, 20000));
    QTest::qWait(50);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), c.expected);
  }
}

TEST(ClipboardJob, AFailureOnTheWorkerIsAMessageAndTheClipboardStaysAsItWas) {
  const struct {
    const char* what;
    bool outOfMemory;
    QString message;
  } cases[] = {
      {"out of memory", true, QStringLiteral("コピーできませんでした（メモリが足りません）")},
      {"another failure", false, QStringLiteral("コピーできませんでした")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QGuiApplication::clipboard()->setText(QStringLiteral("前のクリップボード"));
    const bool outOfMemory = c.outOfMemory;
    ui::ClipboardJob* job = ui::ClipboardJob::start(
        [outOfMemory]() -> ui::ClipboardFormats {
          if (outOfMemory) throw std::bad_alloc();
          throw std::runtime_error("build");
        },
        QStringLiteral("コピーできませんでした"));
    QSignalSpy failed(job, &ui::ClipboardJob::failed);
    ASSERT_TRUE(failed.wait(20000));
    EXPECT_EQ(failed[0][0].toString(), c.message);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("前のクリップボード"));
  }
}

}  // namespace
}  // namespace torvane::testing
