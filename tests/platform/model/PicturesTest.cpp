// The pictures compiled into the program: each one loads through TPicture at
// the size its control expects, and the banner keeps the header's texts
// readable.
#include "Graphics.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

enum class Corners { Transparent, Opaque };

struct Expected {
  const char* file;
  int width;
  int height;
  Corners corners;
};

const Expected kPictures[] = {
    {"banner.jpg", 533, 65, Corners::Opaque},
    {"glyph-mark.png", 25, 25, Corners::Transparent},
    {"glyph-delete.png", 25, 25, Corners::Transparent},
    {"glyph-rename.png", 25, 25, Corners::Transparent},
    {"glyph-unmark.png", 25, 25, Corners::Transparent},
    {"flag-montenegro.png", 29, 12, Corners::Opaque},
    {"flag-united-kingdom.png", 29, 12, Corners::Opaque},
    {"icon-16.png", 16, 16, Corners::Transparent},
    {"icon-24.png", 24, 24, Corners::Transparent},
    {"icon-32.png", 32, 32, Corners::Transparent},
    {"icon-48.png", 48, 48, Corners::Transparent},
    {"icon-64.png", 64, 64, Corners::Transparent},
    {"icon-128.png", 128, 128, Corners::Transparent},
    {"icon-256.png", 256, 256, Corners::Transparent},
};

QString ResourcePath(const char* file) { return QStringLiteral(":/pictures/") + QLatin1String(file); }

// Relative luminance of an sRGB colour, and the contrast ratio of two.
double Luminance(QRgb c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}
double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

}  // namespace

TEST(Pictures, EachLoadsAtItsSizeWithItsCorners) {
  for (const Expected& e : kPictures) {
    SCOPED_TRACE(e.file);
    TPicture picture;
    ASSERT_NO_THROW(picture.LoadFromResource(ResourcePath(e.file)));
    EXPECT_EQ(picture.Width(), e.width);
    EXPECT_EQ(picture.Height(), e.height);
    const QImage& image = picture.Image();
    const int alpha = e.corners == Corners::Transparent ? 0 : 255;
    for (QPoint corner :
         {QPoint(0, 0), QPoint(e.width - 1, 0), QPoint(0, e.height - 1), QPoint(e.width - 1, e.height - 1)})
      EXPECT_EQ(qAlpha(image.pixel(corner)), alpha) << "corner " << corner.x() << "," << corner.y();
  }
}

TEST(Pictures, ResourceFolderHoldsExactlyTheListedPictures) {
  std::set<QString> expected, found;
  for (const Expected& e : kPictures) expected.insert(QLatin1String(e.file));
  for (const QString& name : QDir(QStringLiteral(":/pictures")).entryList(QDir::Files)) found.insert(name);
  EXPECT_EQ(found, expected);
}

// The banner is a plain baseline JPEG that libjpeg reads by itself, and
// wherever a text can stand it stays dark enough for the yellow texts and
// light enough for the black labels: 3.5:1 at least, near what the plain
// header colour gives (4.0 for yellow, 4.8 for black).
TEST(Pictures, BannerDecodesThroughLibjpegAndKeepsTextReadable) {
  QFile file(ResourcePath("banner.jpg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QImage banner = DecodeJpeg(file.readAll());
  ASSERT_EQ(banner.size(), QSize(533, 65));
  const double yellow = Luminance(qRgb(255, 255, 0)), black = 0.0;
  double worstYellow = 100, worstBlack = 100;
  for (int y = 2; y < banner.height() - 2; ++y)
    for (int x = 0; x < banner.width(); ++x) {
      const double l = Luminance(banner.pixel(x, y));
      worstYellow = std::min(worstYellow, Contrast(yellow, l));
      worstBlack = std::min(worstBlack, Contrast(black, l));
    }
  EXPECT_GE(worstYellow, 3.5);
  EXPECT_GE(worstBlack, 3.5);
}
