// The file the upper box was filled from, which a save with ruby writes back into.
#pragma once

#include <QString>

#include <memory>

#include "documents/document.h"

namespace torvane::ui {

struct OpenedFile {
  QString path;
  std::shared_ptr<const documents::OpenedDocument> document;
};

}  // namespace torvane::ui
