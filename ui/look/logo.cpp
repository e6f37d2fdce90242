#include "ui/look/logo.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>  // needs size_t and FILE declared first

namespace torvane::ui {
namespace {

constexpr unsigned char kLogo[] = {
#include "logo_jpeg.inc"
};

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// into decode(). Only trivially destructible objects live across the jump.
struct ErrorManager {
  jpeg_error_mgr base{};
  std::jmp_buf jump{};
};

void onFatalError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

struct Decoded {
  unsigned char* rgb = nullptr;  // malloc'd, width * height * 3 bytes
  int width = 0;
  int height = 0;
};

// False on any error.
bool decode(std::span<const unsigned char> jpeg, Decoded& out) {
  jpeg_decompress_struct cinfo;
  ErrorManager errors;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onFatalError;
  errors.base.output_message = ignoreMessage;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    std::free(out.rgb);
    out.rgb = nullptr;
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  out.width = static_cast<int>(cinfo.output_width);
  out.height = static_cast<int>(cinfo.output_height);
  const std::size_t stride = cinfo.output_width * 3;
  out.rgb = static_cast<unsigned char*>(std::malloc(stride * cinfo.output_height));
  if (out.rgb == nullptr) std::longjmp(errors.jump, 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.rgb + stride * cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

}  // namespace

std::span<const unsigned char> logoJpeg() {
  return kLogo;
}

QImage decodeJpeg(std::span<const unsigned char> jpeg) {
  Decoded decoded;
  if (!decode(jpeg, decoded)) return {};
  QImage image(decoded.width, decoded.height, QImage::Format_RGB888);
  for (int y = 0; y < decoded.height; ++y) {
    std::memcpy(image.scanLine(y), decoded.rgb + static_cast<std::size_t>(y) * decoded.width * 3,
                static_cast<std::size_t>(decoded.width) * 3);
  }
  std::free(decoded.rgb);
  return image;
}

}  // namespace torvane::ui
