#include "ui/application.h"

#include "ui/app_icon.h"
#include "ui/fonts.h"
#include "ui/tooltips.h"

namespace torvane::ui {

void prepareApplication() {
  installFontSubstitutes();
}

void configureApplication(QApplication& application) {
  application.setStyle(new ToolTipStyle);  // the application takes ownership
  application.setWindowIcon(applicationIcon());
}

}  // namespace torvane::ui
