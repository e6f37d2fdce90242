// Takes the README's screenshot: pastes the sample text into the window, checks it at the third
// level and photographs the screen while the summary box is up. Run under xvfb-run by
// scripts/screenshot; it writes the PNG named on its command line.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "ui/window/Unit1.h"
#include "ui/app/application.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_screenshot SAMPLE.txt OUTPUT.png\n");
    return 2;
  }
  torvane::ui::prepareApplication();
  QApplication application(argc, argv);
  torvane::ui::configureApplication(application);

  QFile sample(QString::fromLocal8Bit(argv[1]));
  if (!sample.open(QIODevice::ReadOnly)) return 1;
  QGuiApplication::clipboard()->setText(QString::fromUtf8(sample.readAll()));

  TForm1 window;
  window.show();
  const QString output = QString::fromLocal8Bit(argv[2]);
  bool saved = false;
  // Once the summary box is up: photograph the screen, then answer the box.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll.stop();
    QTimer::singleShot(300, [&, box] {
      const QRect area = window.frameGeometry().united(box->frameGeometry());
      saved = QGuiApplication::primaryScreen()
                  ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                  .save(output);
      box->defaultButton()->click();
    });
  });
  QTimer::singleShot(500, [&] {
    window.Button4Click();
    window.ComboBox1->setCurrentIndex(2);
    poll.start(50);
    window.Button1Click();
    application.quit();
  });
  application.exec();
  return saved ? 0 : 1;
}
