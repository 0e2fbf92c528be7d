#include "Graphics.h"

#include "Exceptions.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <map>

namespace {

// The classic desktop scheme, by system colour index.
constexpr unsigned kSystemRgb[] = {
    0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000, 0xB4B4B4,
    0xF4F7FC, 0xABABAB, 0x3399FF, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x434E54, 0xFFFFFF, 0x696969,
    0xE3E3E3, 0x000000, 0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x3399FF, 0xF0F0F0,
};

const std::map<QString, int>& NamedInts() {
  static const std::map<QString, int> table = [] {
    std::map<QString, int> t;
    const char* systemNames[] = {"clScrollBar",
                                 "clBackground",
                                 "clActiveCaption",
                                 "clInactiveCaption",
                                 "clMenu",
                                 "clWindow",
                                 "clWindowFrame",
                                 "clMenuText",
                                 "clWindowText",
                                 "clCaptionText",
                                 "clActiveBorder",
                                 "clInactiveBorder",
                                 "clAppWorkSpace",
                                 "clHighlight",
                                 "clHighlightText",
                                 "clBtnFace",
                                 "clBtnShadow",
                                 "clGrayText",
                                 "clBtnText",
                                 "clInactiveCaptionText",
                                 "clBtnHighlight",
                                 "cl3DDkShadow",
                                 "cl3DLight",
                                 "clInfoText",
                                 "clInfoBk",
                                 nullptr,
                                 "clHotLight",
                                 "clGradientActiveCaption",
                                 "clGradientInactiveCaption",
                                 "clMenuHighlight",
                                 "clMenuBar"};
    for (int i = 0; i < static_cast<int>(std::size(systemNames)); ++i)
      if (systemNames[i]) t[QString::fromLatin1(systemNames[i]).toLower()] = SystemColor(i);
    const std::pair<const char*, int> colors[] = {
        {"clBlack", 0x000000},    {"clMaroon", 0x000080},  {"clGreen", 0x008000},
        {"clOlive", 0x008080},    {"clNavy", 0x800000},    {"clPurple", 0x800080},
        {"clTeal", 0x808000},     {"clGray", 0x808080},    {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},      {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},     {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},    {"clCream", 0xF0FBFF},   {"clMoneyGreen", 0xC0DCC0},
        {"clSkyBlue", 0xF0CAA6},  {"clMedGray", 0xA4A0A0}, {"clNone", clNone},
        {"clDefault", clDefault}, {"crDefault", 0},        {"crArrow", -2},
        {"crCross", -3},          {"crIBeam", -4},         {"crHourGlass", -11},
        {"crHandPoint", -21},
    };
    for (const auto& [name, value] : colors) t[QString::fromLatin1(name).toLower()] = value;
    return t;
  }();
  return table;
}

}  // namespace

QColor ColorToQColor(TColor color) {
  const auto bits = static_cast<unsigned>(color);
  if (bits & 0x80000000u) {
    const unsigned index = bits & 0xFFu;
    const unsigned rgb = index < std::size(kSystemRgb) ? kSystemRgb[index] : 0;
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  }
  return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

TColor QColorToColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

std::optional<int> IdentToInt(const QString& ident) {
  const auto& t = NamedInts();
  auto it = t.find(ident.toLower());
  if (it == t.end()) return std::nullopt;
  return it->second;
}

int ScreenPixelsPerInch() {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    if (QScreen* s = app->primaryScreen()) return qRound(s->logicalDotsPerInchY());
  return 96;
}

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const double r = static_cast<double>(a) * b / c;
  return static_cast<int>(r < 0 ? -std::floor(-r + 0.5) : std::floor(r + 0.5));
}

TFont::TFont() : FPixelsPerInch(ScreenPixelsPerInch()) {}

void TFont::Changed() {
  if (OnChange) OnChange();
}

void TFont::SetCharset(int value) {
  if (value == FCharset) return;
  FCharset = value;
  Changed();
}
void TFont::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  Changed();
}
void TFont::SetHeight(int value) {
  if (value == FHeight) return;
  FHeight = value;
  Changed();
}
void TFont::SetName(const QString& value) {
  if (value == FName || value.isEmpty()) return;
  FName = value;
  Changed();
}
void TFont::SetOrientation(int value) {
  if (value == FOrientation) return;
  FOrientation = value;
  Changed();
}
void TFont::SetPitch(TFontPitch value) {
  if (value == FPitch) return;
  FPitch = value;
  Changed();
}
int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int value) { SetHeight(-MulDiv(value, FPixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles value) {
  if (value == FStyle) return;
  FStyle = value;
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  if (auto f = qobject_cast<const TFont*>(source)) {
    if (Equals(*f)) return;
    FCharset = f->FCharset;
    FColor = f->FColor;
    // The height is kept in pixels; a font from another resolution keeps its size.
    FHeight = f->FPixelsPerInch == FPixelsPerInch ? f->FHeight : -MulDiv(f->Size(), FPixelsPerInch, 72);
    FName = f->FName;
    FOrientation = f->FOrientation;
    FPitch = f->FPitch;
    FStyle = f->FStyle;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::Equals(const TFont& o) const {
  return FCharset == o.FCharset && FColor == o.FColor && FHeight == o.FHeight && FName == o.FName &&
         FOrientation == o.FOrientation && FPitch == o.FPitch && FStyle == o.FStyle;
}

QFont TFont::ToQFont() const {
  QFont f(FName);
  // A positive height counts the internal leading too; the em is about 4/5 of it.
  f.setPixelSize(std::max(1, FHeight < 0 ? -FHeight : (FHeight * 4 + 2) / 5));
  f.setBold(FStyle.testFlag(fsBold));
  f.setItalic(FStyle.testFlag(fsItalic));
  f.setUnderline(FStyle.testFlag(fsUnderline));
  f.setStrikeOut(FStyle.testFlag(fsStrikeOut));
  if (FPitch == fpFixed) f.setFixedPitch(true);
  return f;
}

void TFont::FromQFont(const QFont& f) {
  FName = f.family();
  if (f.pixelSize() > 0)
    FHeight = -f.pixelSize();
  else
    FHeight = -MulDiv(qRound(f.pointSizeF()), FPixelsPerInch, 72);
  TFontStyles s;
  if (f.bold()) s |= fsBold;
  if (f.italic()) s |= fsItalic;
  if (f.underline()) s |= fsUnderline;
  if (f.strikeOut()) s |= fsStrikeOut;
  FStyle = s;
  Changed();
}

void TPicture::LoadFromData(const QByteArray& data, const QString& origin) {
  QImage image;
  if (data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0xFF && static_cast<unsigned char>(data[1]) == 0xD8)
    image = DecodeJpeg(data);
  else
    image = QImage::fromData(data);
  if (image.isNull()) throw EConvertError(QStringLiteral("%1 is not a picture").arg(origin));
  FImage = image;
  if (OnChange) OnChange();
}

void TPicture::LoadFromResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw EConvertError(QStringLiteral("Picture %1 not found").arg(path));
  LoadFromData(file.readAll(), path);
}

void TPicture::Clear() {
  FImage = QImage();
  if (OnChange) OnChange();
}

void TPicture::Assign(const TPersistent* source) {
  if (auto p = qobject_cast<const TPicture*>(source)) {
    FImage = p->FImage;
    if (OnChange) OnChange();
    return;
  }
  if (!source) {
    Clear();
    return;
  }
  TPersistent::Assign(source);
}
