// The banner logo, a progressive JFIF picture stored in the program.
#pragma once

#include <QImage>

#include <cstddef>
#include <span>

namespace torvane::ui {

// The picture's bytes as stored.
std::span<const unsigned char> logoJpeg();

// Decodes a JPEG picture with libjpeg; a null image when the data is no JPEG picture.
QImage decodeJpeg(std::span<const unsigned char> jpeg);

}  // namespace torvane::ui
