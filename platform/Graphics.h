// Colours, fonts and pictures.
#pragma once

#include "Component.h"
#include "VclTypes.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>

// A colour as a signed 32-bit value: 0x00BBGGRR for an RGB colour, the high
// bit set plus an index for a system colour (clInfoBk = -2147483624).
using TColor = int;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBlack = 0x000000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB a colour stands for; system colours by the classic desktop scheme.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);
// Named constants the definitions may use for integer properties: colours
// ("clInfoBk", "clRed") and cursors ("crHandPoint").
std::optional<int> IdentToInt(const QString& ident);

// The screen's pixels per inch, which ties a font's Size to its Height.
int ScreenPixelsPerInch();
// Rounds a*b/c to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c);

// A font: face name, height in pixels (negative: the character height without
// internal leading), size in points, style, colour and character set.
class TFont : public TPersistent {
  Q_OBJECT
  Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
  Q_PROPERTY(int Color READ Color WRITE SetColor)
  Q_PROPERTY(int Height READ Height WRITE SetHeight)
  Q_PROPERTY(QString Name READ Name WRITE SetName)
  Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
  Q_PROPERTY(Vcl::TFontPitch Pitch READ Pitch WRITE SetPitch)
  Q_PROPERTY(int Size READ Size WRITE SetSize)
  Q_PROPERTY(Vcl::TFontStyles Style READ Style WRITE SetStyle)
public:
  TFont();

  int Charset() const { return FCharset; }
  void SetCharset(int value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  int Height() const { return FHeight; }
  void SetHeight(int value);
  QString Name() const { return FName; }
  void SetName(const QString& value);
  int Orientation() const { return FOrientation; }
  void SetOrientation(int value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch value);
  int Size() const;
  void SetSize(int value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value);
  int PixelsPerInch() const { return FPixelsPerInch; }
  // The resolution that Size is reckoned at (the screen's to begin with); the
  // height stays, so the size follows.
  void SetPixelsPerInch(int value) {
    if (value > 0) FPixelsPerInch = value;
  }

  void Assign(const TPersistent* source) override;
  bool Equals(const TFont& other) const;
  QFont ToQFont() const;
  void FromQFont(const QFont& font);

  std::function<void()> OnChange;

private:
  void Changed();
  int FCharset = 1;  // DEFAULT_CHARSET
  TColor FColor = clWindowText;
  int FHeight = -11;
  QString FName = QStringLiteral("Tahoma");
  int FOrientation = 0;
  TFontPitch FPitch = fpDefault;
  TFontStyles FStyle;
  int FPixelsPerInch = 96;
};

// A picture: PNG, BMP or JPEG data, decoded into an image.
class TPicture : public TPersistent {
  Q_OBJECT
public:
  // Decodes the data; raises EConvertError when it is no picture.
  void LoadFromData(const QByteArray& data, const QString& origin);
  // A picture compiled into the program (":/images/...").
  void LoadFromResource(const QString& path);
  void Clear();
  bool Empty() const { return FImage.isNull(); }
  const QImage& Image() const { return FImage; }
  int Width() const { return FImage.width(); }
  int Height() const { return FImage.height(); }
  void Assign(const TPersistent* source) override;

  std::function<void()> OnChange;

private:
  QImage FImage;
};

// Decodes a JPEG with libjpeg; raises EConvertError for damaged data.
QImage DecodeJpeg(const QByteArray& data);
