// Shows the reading proposals dialog beside a text box holding a sample, checked at the second
// level, with a word selected; for looking at the dialog under xvfb-run. Writes the whole screen
// to the PNG named on its command line.
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <variant>

#include "reading/proposals.h"
#include "tables/class_strings.h"
#include "ui/app/application.h"
#include "ui/dialogs/readings/readings_dialog.h"
#include "ui/dialogs/readings/readings_model.h"
#include "ui/look/fonts.h"
#include "ui/textbox/paste_box.h"

int main(int argc, char** argv) {
  using namespace torvane;
  if (argc != 3) {
    std::fprintf(stderr, "usage: readings_dialog_screenshot SAMPLE.txt OUTPUT.png\n");
    return 2;
  }
  ui::prepareApplication();
  QApplication application(argc, argv);
  ui::configureApplication(application);

  QFile sample(QString::fromLocal8Bit(argv[1]));
  if (!sample.open(QIODevice::ReadOnly)) return 1;
  auto opened = reading::Analyzer::open();
  if (auto* error = std::get_if<reading::AnalyzerError>(&opened)) {
    std::fprintf(stderr, "%s\n", error->message.c_str());
    return 1;
  }
  const tables::ClassStrings strings = tables::loadClassStrings();
  const checker::Classifier classifier(strings);

  ui::PasteBox box;
  box.setFont(ui::japaneseFont(ui::kProportionalGothic, 16));
  box.setPlainText(QString::fromUtf8(sample.readAll()));
  box.setGeometry(10, 10, 560, 400);
  box.show();
  ui::CheckedBoxText checked =
      ui::CheckedBoxText::check(ui::checkedTextOf(*box.document()), 1, classifier);
  auto proposals =
      reading::propose(std::get<reading::Analyzer>(opened), checked.view(), classifier);
  ui::ReadingsDialog dialog(std::move(checked), std::move(proposals), &box);
  dialog.move(250, 250);
  dialog.show();

  const QString output = QString::fromLocal8Bit(argv[2]);
  bool saved = false;
  QTimer::singleShot(600, [&] {
    auto* table = dialog.findChild<QTableView*>(QStringLiteral("table"));
    table->selectRow(2);
    table->edit(dialog.model()->index(1, ui::ReadingsModel::Mode));
  });
  QTimer::singleShot(1200, [&] {
    saved = QGuiApplication::primaryScreen()->grabWindow(0).save(output);
    application.quit();
  });
  application.exec();
  return saved ? 0 : 1;
}
