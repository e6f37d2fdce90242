// Shows the class settings dialog over the window, with known kanji and allowed words typed and
// a sample in the box; for looking at the dialog under xvfb-run. Writes the whole screen to the
// PNG named on its command line.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "checker/table_sets.h"
#include "ui/app/application.h"
#include "ui/dialogs/class_settings/class_settings_dialog.h"
#include "ui/window/Unit1.h"

int main(int argc, char** argv) {
  using namespace torvane;
  if (argc != 3) {
    std::fprintf(stderr, "usage: class_settings_screenshot SAMPLE.txt OUTPUT.png\n");
    return 2;
  }
  // The settings the picture shows go to a folder of its own, not the user's torvane.ini.
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  ui::prepareApplication();
  QApplication application(argc, argv);
  ui::configureApplication(application);

  QFile sample(QString::fromLocal8Bit(argv[1]));
  if (!sample.open(QIODevice::ReadOnly)) return 1;
  TForm1 window;
  window.RichEdit1->setPlainText(QString::fromUtf8(sample.readAll()));
  window.setClassSettings({{U'岡', U'城', U'鷗'}, {"岡山", "鹿児島"}, false});
  window.show();

  ui::ClassSettingsDialog dialog(window.classSettings(),
                                 checker::classifierFor(tables::TableSet::Tables1989),
                                 window.RichEdit1->toPlainText(), &window);
  dialog.findChild<QPlainTextEdit*>(QStringLiteral("KnownEdit"))
      ->setPlainText(QStringLiteral("岡城鷗漢 やA"));
  dialog.findChild<QPlainTextEdit*>(QStringLiteral("AllowedEdit"))
      ->setPlainText(QStringLiteral("# 地名\n岡山\n鹿児島\n学校\n"));
  dialog.show();

  const QString output = QString::fromLocal8Bit(argv[2]);
  bool saved = false;
  QTimer::singleShot(1200, [&] {
    saved = QGuiApplication::primaryScreen()->grabWindow(0).save(output);
    application.quit();
  });
  application.exec();
  return saved ? 0 : 1;
}
