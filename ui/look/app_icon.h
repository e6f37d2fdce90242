// The program's icon: four tiles on white, two with grey lines of text and two with blue
// question marks, 32 x 30 pixels.
#pragma once

#include <QIcon>
#include <QImage>

namespace torvane::ui {

QImage applicationIconImage();
QIcon applicationIcon();

}  // namespace torvane::ui
