// The readings judged from start to end, for looking at it under xvfb-run: the window with
// 「読み方も判定する」 on checks a sample at a level, then opens the reading proposals and
// selects the first word with a note. Writes window.png (the underlines, the report and the
// corner text) and dialog.png (the dialog over the window) into the folder named on its
// command line.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "ui/app/application.h"
#include "ui/dialogs/readings/readings_dialog.h"
#include "ui/dialogs/readings/readings_model.h"
#include "ui/textbox/paste_box.h"
#include "ui/window/Unit1.h"
#include "ui/window/report_box.h"

namespace {

bool grab(const QRect& area, const QString& path) {
  return QGuiApplication::primaryScreen()
      ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
      .save(path);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace torvane;
  if (argc != 4) {
    std::fprintf(stderr, "usage: reading_notes_screenshot SAMPLE.txt LEVEL OUTPUT-FOLDER\n");
    return 2;
  }
  // The settings the pictures show go to a folder of their own, not the user's torvane.ini.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  ui::prepareApplication();
  QApplication application(argc, argv);
  ui::configureApplication(application);

  QFile sample(QString::fromLocal8Bit(argv[1]));
  if (!sample.open(QIODevice::ReadOnly)) return 1;
  const int level = std::atoi(argv[2]);
  const QDir output(QString::fromLocal8Bit(argv[3]));

  TForm1 window;
  window.RichEdit1->setPlainText(QString::fromUtf8(sample.readAll()));
  window.setClassSettings({{}, {}, true});
  window.ComboBox1->setCurrentIndex(level);
  window.show();

  int saved = 0;
  // The summary box of the check: answered at once.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answer.stop();
      box->defaultButton()->click();
    }
  });
  QTimer::singleShot(500, [&] {
    answer.start(50);
    window.Button1Click();
    QTimer::singleShot(300, [&] {
      // The check leaves a selection over the text, which would hide the underlines; the
      // report's new section is at its end.
      window.RichEdit1->moveCursor(QTextCursor::Start);
      window.RichEdit2->moveCursor(QTextCursor::End);
      QApplication::processEvents();
      saved += grab(window.frameGeometry(), output.filePath(QStringLiteral("window.png")));
      window.findChild<QAction*>(QStringLiteral("ReadingsAction"))->trigger();
    });
  });
  // Once the dialog is up: the first row with a note selected, then the picture.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = window.findChild<ui::ReadingsDialog*>(QStringLiteral("ReadingsDialog"));
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll.stop();
    const ui::ReadingsModel& model = *dialog->model();
    for (int row = 0; row < model.rowCount(); ++row) {
      if (model.index(row, ui::ReadingsModel::Notes).data().toString().isEmpty()) continue;
      dialog->findChild<QTableView*>(QStringLiteral("table"))->selectRow(row);
      break;
    }
    QTimer::singleShot(400, [&, dialog] {
      saved += grab(window.frameGeometry().united(dialog->frameGeometry()),
                    output.filePath(QStringLiteral("dialog.png")));
      application.quit();
    });
  });
  poll.start(50);
  QTimer::singleShot(30000, &application, &QApplication::quit);  // a dictionary that hangs
  application.exec();
  return saved == 2 ? 0 : 1;
}
