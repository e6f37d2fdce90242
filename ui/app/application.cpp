#include "ui/app/application.h"

#include <malloc.h>

#include "ui/look/app_icon.h"
#include "ui/look/fonts.h"
#include "ui/window/tooltips.h"

namespace torvane::ui {

void prepareApplication() {
  // Blocks of 4 MiB and more come straight from the kernel, so that when one of the text
  // document's large tables grows it is remapped, not copied: a copy of tens of megabytes in
  // the middle of a check would hold the event loop. (Without a fixed threshold the C library
  // raises it as large blocks are freed, up to 32 MiB.)
  mallopt(M_MMAP_THRESHOLD, 4 << 20);
  installFontSubstitutes();
}

void configureApplication(QApplication& application) {
  application.setStyle(new ToolTipStyle);  // the application takes ownership
  application.setWindowIcon(applicationIcon());
}

}  // namespace torvane::ui
