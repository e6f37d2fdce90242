#include <gtest/gtest.h>

#include <QPixmap>
#include <QSet>

#include <csetjmp>
#include <cstdio>
#include <span>

#include <jpeglib.h>  // needs size_t and FILE declared first

#include "ui/look/app_icon.h"
#include "ui/app/application_title.h"
#include "ui/look/glyphs.h"
#include "ui/look/logo.h"

namespace torvane::ui {
namespace {

const QRgb kOlive = qRgb(128, 128, 0);

struct JpegErrors {
  jpeg_error_mgr base{};
  std::jmp_buf jump{};
};

// Whether the picture is stored progressively (in several scans); false for what is no JPEG.
bool isProgressiveJpeg(std::span<const unsigned char> jpeg) {
  jpeg_decompress_struct cinfo{};
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1);
  };
  errors.base.output_message = [](j_common_ptr) {};
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&cinfo, TRUE);
  const bool progressive = jpeg_has_multiple_scans(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return progressive;
}

TEST(Logo, IsAProgressiveJfifPictureOf31By29) {
  const auto jpeg = logoJpeg();
  ASSERT_GT(jpeg.size(), 20u);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(jpeg.data()) + 6, 5), QByteArray("JFIF\0", 5));
  EXPECT_TRUE(isProgressiveJpeg(jpeg));
  const QImage logo = decodeJpeg(jpeg);
  EXPECT_EQ(logo.size(), QSize(31, 29));
  // The red check mark crosses the picture's middle; the corners are the banner's black.
  const QColor mark = logo.pixelColor(17, 21);
  EXPECT_GT(mark.red(), 180);
  EXPECT_LT(mark.green(), 90);
  EXPECT_LT(logo.pixelColor(0, 0).value(), 40);
}

TEST(Logo, DecodingSomethingElseGivesANullImageWithoutAbort) {
  const unsigned char notJpeg[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  EXPECT_TRUE(decodeJpeg(notJpeg).isNull());
  EXPECT_FALSE(isProgressiveJpeg(notJpeg));
  const auto logo = logoJpeg();
  EXPECT_TRUE(decodeJpeg(logo.first(logo.size() / 3)).isNull() ||
              decodeJpeg(logo.first(logo.size() / 3)).size() == QSize(31, 29))
      << "a cut-off picture decodes partly or not at all";
}

TEST(Glyphs, SixteenColourBitmapsWithNormalAndDisabledSideBySide) {
  for (const QImage& bitmap : {pasteGlyphBitmap(), copyGlyphBitmap()}) {
    EXPECT_EQ(bitmap.size(), QSize(32, 16));
    EXPECT_LE(bitmap.colorCount(), 16);
    EXPECT_EQ(bitmap.pixel(0, 15), kOlive) << "the bottom-left pixel gives the transparent colour";
    EXPECT_NE(bitmap.copy(0, 0, 16, 16), bitmap.copy(16, 0, 16, 16)) << "two different states";
    QSet<QRgb> colours;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) colours.insert(bitmap.pixel(x, y));
    }
    EXPECT_TRUE(colours.contains(qRgb(255, 0, 0))) << "the red arrow";
  }
}

TEST(Glyphs, OliveBecomesTransparentInBothStates) {
  const QImage bitmap = pasteGlyphBitmap();
  const QIcon icon = twoStateGlyph(bitmap);
  for (const auto mode : {QIcon::Normal, QIcon::Disabled}) {
    const QImage glyph = icon.pixmap(16, 16, mode).toImage();
    ASSERT_EQ(glyph.size(), QSize(16, 16));
    const int left = mode == QIcon::Normal ? 0 : 16;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const bool olive = bitmap.pixel(left + x, y) == kOlive;
        ASSERT_EQ(qAlpha(glyph.pixel(x, y)) == 0, olive)
            << "mode " << mode << " at " << x << "," << y;
      }
    }
  }
}

TEST(ApplicationIcon, FourTilesOnWhiteWithGreyLinesAndBlueQuestionMarks) {
  const QImage icon = applicationIconImage();
  EXPECT_EQ(icon.size(), QSize(32, 30));
  EXPECT_EQ(icon.depth(), 24);
  EXPECT_EQ(icon.pixel(0, 0), qRgb(255, 255, 255));
  bool blue = false, grey = false;
  for (int y = 0; y < icon.height(); ++y) {
    for (int x = 0; x < icon.width(); ++x) {
      const QColor c = icon.pixelColor(x, y);
      blue |= c.blue() > 200 && c.red() < 80;
      grey |= c == QColor(128, 128, 128);
    }
  }
  EXPECT_TRUE(blue && grey);
}

TEST(ApplicationTitle, FollowsTheExecutablesName) {
  const std::pair<const char*, const char*> cases[] = {
      // Letters after the first are lower-cased; the first stays as it is.
      {"/usr/bin/torvane", "torvane"},
      {"torvane", "torvane"},
      {"TORVANE.EXE", "Torvane"},
      {"/opt/a.b/kanji.check.bin", "kanji"},
      {"./Torvane-Dev", "Torvane-dev"},
      {"", ""},
      {".hidden", ""},
  };
  for (const auto& [path, title] : cases) {
    EXPECT_EQ(applicationTitle(QString::fromUtf8(path)), QString::fromUtf8(title)) << path;
  }
}

}  // namespace
}  // namespace torvane::ui
