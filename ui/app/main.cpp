// torvane: the main window.
#include <QApplication>

#include "ui/window/Unit1.h"
#include "ui/app/application.h"
#include "ui/app/quit_on_signal.h"

int main(int argc, char** argv) {
  torvane::ui::prepareApplication();
  QApplication application(argc, argv);
  torvane::ui::configureApplication(application);
  Form1 = new TForm1;
  torvane::ui::closeOnTerminationSignals(*Form1);
  Form1->show();
  const int status = application.exec();
  delete Form1;
  Form1 = nullptr;
  return status;
}
