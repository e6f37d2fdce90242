// A shown, active main window for each test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <memory>

#include "ui/window/Unit1.h"

namespace torvane::testing {

// Types text as a keyboard with an input method does, a key event per character (QTest's own
// keyClicks knows ASCII only).
inline void typeText(QWidget* widget, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<TForm1>();
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  void TearDown() override { window_.reset(); }

  TForm1& window() { return *window_; }
  template <class Control = QWidget>
  Control* control(const char* name) {
    return window_->findChild<Control*>(QString::fromLatin1(name));
  }

 private:
  std::unique_ptr<TForm1> window_;
};

}  // namespace torvane::testing
