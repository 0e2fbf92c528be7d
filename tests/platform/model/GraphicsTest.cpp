// Fonts (size and height), colours, the JPEG decoder and pictures.
#include "Exceptions.h"
#include "Graphics.h"
#include "QtPrinters.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <random>

namespace {

// A 4x3 JPEG, every pixel (0,128,192).
const unsigned char kJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01,
    0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x02, 0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0x01, 0x01, 0x01, 0x02,
    0x02, 0x02, 0x02, 0x02, 0x04, 0x03, 0x02, 0x02, 0x02, 0x02, 0x05, 0x04, 0x04, 0x03, 0x04, 0x06, 0x05, 0x06,
    0x06, 0x06, 0x05, 0x06, 0x06, 0x06, 0x07, 0x09, 0x08, 0x06, 0x07, 0x09, 0x07, 0x06, 0x06, 0x08, 0x0B, 0x08,
    0x09, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x06, 0x08, 0x0B, 0x0C, 0x0B, 0x0A, 0x0C, 0x09, 0x0A, 0x0A, 0x0A, 0xFF,
    0xDB, 0x00, 0x43, 0x01, 0x02, 0x02, 0x02, 0x02, 0x02, 0x02, 0x05, 0x03, 0x03, 0x05, 0x0A, 0x07, 0x06, 0x07,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A,
    0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0x0A, 0xFF, 0xC0, 0x00, 0x11,
    0x08, 0x00, 0x03, 0x00, 0x04, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xC4, 0x00,
    0x14, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x07, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xC4, 0x00, 0x15, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x09, 0xFF, 0xC4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0C,
    0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x03, 0x36, 0x13, 0xAD, 0xFF, 0xD9,
};

QByteArray Jpeg() { return QByteArray(reinterpret_cast<const char*>(kJpeg), sizeof kJpeg); }

QByteArray Png(const QColor& color) {
  QImage image(5, 2, QImage::Format_RGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "PNG"));
  return bytes;
}

void ExpectClose(QRgb pixel, int r, int g, int b, int tolerance) {
  EXPECT_NEAR(qRed(pixel), r, tolerance);
  EXPECT_NEAR(qGreen(pixel), g, tolerance);
  EXPECT_NEAR(qBlue(pixel), b, tolerance);
}

}  // namespace

TEST(Font, SizeAndHeightAreTiedThroughPixelsPerInch) {
  struct Row {
    int ppi;
    int size;
    int height;
  };
  const Row heightToSize[] = {{96, 10, -13}, {96, 8, -11}, {96, 12, -16}, {96, 9, -12}, {120, 10, -17}, {72, 10, -10}};
  for (const Row& row : heightToSize) {
    SCOPED_TRACE(testing::Message() << row.ppi << " ppi, size " << row.size);
    TFont font;
    font.SetPixelsPerInch(row.ppi);
    font.SetHeight(row.height);
    EXPECT_EQ(font.Size(), row.size);
    font.SetHeight(-1);
    font.SetSize(row.size);
    EXPECT_EQ(font.Height(), row.height);
  }
  TFont font;
  font.SetPixelsPerInch(96);
  font.SetHeight(-13);
  EXPECT_EQ(font.Size(), 10);
  font.SetSize(8);
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);  // halves away from zero
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(10, 96, 72), 13);
}

TEST(Font, ChangeIsToldOncePerChange) {
  TFont font;
  font.SetPixelsPerInch(96);
  int changes = 0;
  font.OnChange = [&] { ++changes; };
  font.SetName(QStringLiteral("Arial"));
  font.SetSize(14);
  font.SetHeight(-20);
  font.SetColor(clInfoBk);
  font.SetStyle(fsBold | fsItalic);
  font.SetCharset(238);
  font.SetPitch(fpFixed);
  font.SetOrientation(900);
  EXPECT_EQ(changes, 8);
  // The same value again is no change.
  font.SetName(QStringLiteral("Arial"));
  font.SetHeight(-20);
  font.SetStyle(fsBold | fsItalic);
  font.SetColor(clInfoBk);
  EXPECT_EQ(changes, 8);
}

TEST(Font, AssignCopiesEveryProperty) {
  TFont source;
  source.SetPixelsPerInch(96);
  source.SetName(QStringLiteral("Courier New"));
  source.SetHeight(-16);
  source.SetColor(0x00C08000);
  source.SetStyle(fsUnderline | fsStrikeOut);
  source.SetCharset(238);
  source.SetPitch(fpVariable);
  source.SetOrientation(450);

  TFont target;
  target.SetPixelsPerInch(96);
  int changes = 0;
  target.OnChange = [&] { ++changes; };
  target.Assign(&source);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(target.Equals(source));
  EXPECT_EQ(target.Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(target.Height(), -16);
  EXPECT_EQ(target.Size(), 12);
  EXPECT_EQ(target.Color(), 0x00C08000);
  EXPECT_EQ(target.Style(), TFontStyles(fsUnderline | fsStrikeOut));
  EXPECT_EQ(target.Charset(), 238);
  EXPECT_EQ(target.Pitch(), fpVariable);
  EXPECT_EQ(target.Orientation(), 450);
  target.Assign(&source);  // nothing new
  EXPECT_EQ(changes, 1);

  // From another resolution the size is what stays.
  TFont large;
  large.SetPixelsPerInch(120);
  large.Assign(&source);
  EXPECT_EQ(large.Size(), 12);
  EXPECT_EQ(large.Height(), -20);

  TPicture picture;
  EXPECT_THROW(target.Assign(&picture), EConvertError);
}

TEST(Colors, ColorsMapToRgb) {
  struct Row {
    TColor color;
    int r, g, b;
  };
  const Row rows[] = {
      {12615680, 0, 128, 192},                                  // 0x00C08000, blue-green-red
      {0x000000FF, 255, 0, 0},                                  // clRed
      {clWhite, 255, 255, 255},  {-2147483624, 255, 255, 225},  // clInfoBk, the info background
      {-2147483640, 0, 0, 0},                                   // clWindowText
      {clWindow, 255, 255, 255}, {clInfoText, 0, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.color);
    const QColor c = ColorToQColor(row.color);
    EXPECT_EQ(c.red(), row.r);
    EXPECT_EQ(c.green(), row.g);
    EXPECT_EQ(c.blue(), row.b);
  }
  EXPECT_EQ(clInfoBk, -2147483624);
  EXPECT_EQ(clWindowText, -2147483640);
  EXPECT_EQ(QColorToColor(QColor(0, 128, 192)), 12615680);
}

TEST(Colors, IdentifiersGiveTheirValuesIgnoringCase) {
  struct Row {
    const char* ident;
    std::optional<int> value;
  };
  const Row rows[] = {
      {"clInfoBk", -2147483624}, {"CLINFOBK", -2147483624}, {"clinfobk", -2147483624}, {"clWindowText", -2147483640},
      {"clBtnFace", clBtnFace},  {"clRed", 0x0000FF},       {"clBlue", 0xFF0000},      {"clCream", 0xF0FBFF},
      {"clNone", clNone},        {"crHandPoint", -21},      {"clNope", std::nullopt},  {"", std::nullopt},
      {"InfoBk", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ident);
    EXPECT_EQ(IdentToInt(QString::fromLatin1(row.ident)), row.value);
  }
}

TEST(Jpeg, DecodesATinyPicture) {
  const QImage image = DecodeJpeg(Jpeg());
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 4);
  EXPECT_EQ(image.height(), 3);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
      ExpectClose(image.pixel(x, y), 0, 128, 192, 4);
    }
}

TEST(Jpeg, TruncatedDataRaisesConvertError) {
  const QByteArray full = Jpeg();
  for (qsizetype length = 0; length < full.size(); ++length) {
    SCOPED_TRACE(testing::Message() << "first " << length << " bytes");
    EXPECT_THROW(DecodeJpeg(full.left(length)), EConvertError);
  }
}

TEST(Jpeg, GarbageRaisesConvertError) {
  std::mt19937 random(7);
  QByteArray noise(600, Qt::Uninitialized);
  for (char& c : noise) c = static_cast<char>(random() & 0xFF);
  QByteArray afterMarker = QByteArray("\xFF\xD8", 2) + noise;
  // The frame header at byte 158: marker, length, precision, height, width.
  QByteArray noWidth = Jpeg();
  noWidth[165] = noWidth[166] = 0;
  QByteArray damagedFrame = Jpeg();
  damagedFrame[162] = 0;  // precision
  const QByteArray rows[] = {noise,   afterMarker,  QByteArray("not a picture"),
                             noWidth, damagedFrame, QByteArray("\xFF\xD8\xFF\xD9", 4)};
  int index = 0;
  for (const QByteArray& data : rows) {
    SCOPED_TRACE(testing::Message() << "row " << index++);
    EXPECT_THROW(DecodeJpeg(data), EConvertError);
  }
}

TEST(Picture, LoadsJpegAndPngData) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&] { ++changes; };
  picture.LoadFromData(Jpeg(), QStringLiteral("tiny.jpg"));
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.Height(), 3);
  ExpectClose(picture.Image().pixel(1, 1), 0, 128, 192, 4);

  picture.LoadFromData(Png(QColor(10, 200, 30)), QStringLiteral("tiny.png"));
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 2);
  ExpectClose(picture.Image().pixel(4, 1), 10, 200, 30, 0);
  EXPECT_EQ(changes, 2);

  try {
    picture.LoadFromData(QByteArray("nothing"), QStringLiteral("junk.bin"));
    FAIL() << "junk must not load";
  } catch (const EConvertError& e) {
    EXPECT_TRUE(e.Message().contains(QLatin1String("junk.bin"))) << e.Message().toStdString();
  }
  EXPECT_THROW(picture.LoadFromData(Jpeg().left(200), QStringLiteral("cut.jpg")), EConvertError);
  EXPECT_THROW(picture.LoadFromData(QByteArray(), QStringLiteral("empty")), EConvertError);
  EXPECT_EQ(picture.Width(), 5);  // a failed load keeps the picture
  EXPECT_THROW(picture.LoadFromResource(QStringLiteral(":/no/such/picture.png")), EConvertError);

  TPicture copy;
  copy.Assign(&picture);
  EXPECT_EQ(copy.Image(), picture.Image());
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
}
