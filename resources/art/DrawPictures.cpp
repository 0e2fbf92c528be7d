// Draws the program's pictures (the note-header banner, the tool-button
// glyphs, the program icon and the two language flags) into a folder.
//
//   notarium-draw-pictures OUTDIR [PREVIEWDIR]
//
// OUTDIR receives the files that are committed in resources/pictures/.
// PREVIEWDIR, when given, receives 8x enlargements of the small pictures over
// a checkerboard and mock-ups of the note header, for looking at them.
//
// The pictures are drawn with plain shapes, no fonts (only the header mock-up
// uses text), so the files come out the same on every machine with the same
// Qt.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

// The note header's own colour; the banner is drawn around it.
const QColor kHeaderBlue(0, 128, 192);

QImage Transparent(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// An antialiased painter; the callers put 1-pixel lines on pixel centres so
// they stay sharp.
struct Painter : QPainter {
  explicit Painter(QImage* image) : QPainter(image) {
    setRenderHint(QPainter::Antialiasing);
    setRenderHint(QPainter::SmoothPixmapTransform);
  }
};

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& from, const QColor& to) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  return g;
}

// ---------------------------------------------------------------- banner

// A wave that keeps its look when the banner is stretched sideways: one
// period over the whole width, so stretching only lengthens it.
QPainterPath WaveBand(qreal width, qreal baseline, qreal amplitude, qreal phase, qreal thickness) {
  QPainterPath path;
  const int steps = 96;
  auto y = [&](qreal x, qreal shift) {
    return baseline + shift + amplitude * std::sin(phase + 2 * std::numbers::pi * x / width) +
           amplitude * 0.35 * std::sin(phase * 1.7 + 4 * std::numbers::pi * x / width);
  };
  path.moveTo(0, y(0, 0));
  for (int i = 1; i <= steps; ++i) path.lineTo(width * i / steps, y(width * i / steps, 0));
  for (int i = steps; i >= 0; --i) path.lineTo(width * i / steps, y(width * i / steps, thickness));
  path.closeSubpath();
  return path;
}

QImage Banner() {
  const int w = 533, h = 65;
  QImage image(w, h, QImage::Format_RGB32);
  Painter p(&image);
  // Light at the top, deeper at the bottom, never far from the header colour:
  // its middle brightness keeps the yellow texts and the black labels alike
  // readable.
  p.fillRect(image.rect(), Vertical(0, h, QColor(3, 120, 186), QColor(2, 114, 178)));
  // A soft light from the left, where the labels start.
  QLinearGradient side(0, 0, w, 0);
  side.setColorAt(0, QColor(255, 255, 255, 10));
  side.setColorAt(0.5, QColor(255, 255, 255, 0));
  side.setColorAt(1, QColor(0, 40, 80, 26));
  p.fillRect(image.rect(), side);
  // Three quiet ribbons of light across the whole width.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 9));
  p.drawPath(WaveBand(w, 30, 9, 0.6, 14));
  p.setBrush(QColor(255, 255, 255, 7));
  p.drawPath(WaveBand(w, 40, 11, 2.4, 18));
  p.setBrush(QColor(0, 50, 100, 12));
  p.drawPath(WaveBand(w, 48, 7, 4.1, 12));
  // Fine lines along the ribbons' edges.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 10), 1.0));
  p.drawPath(WaveBand(w, 30, 9, 0.6, 0));
  p.setPen(QPen(QColor(255, 255, 255, 9), 1.0));
  p.drawPath(WaveBand(w, 58, 11, 2.4, 0));
  // A bright top edge and a dark bottom edge set the header off from the
  // tool strip above and the text pane below.
  p.setPen(Qt::NoPen);
  p.fillRect(QRect(0, 0, w, 1), QColor(255, 255, 255, 60));
  p.fillRect(QRect(0, h - 1, w, 1), QColor(0, 60, 100));
  return image;
}

// ---------------------------------------------------------------- glyphs

const QColor kOutlineFolder(176, 118, 12);

// A folder in the current flat style: a darker back with a tab and a lighter
// front.
void DrawFolder(QPainter& p) {
  p.setPen(QPen(kOutlineFolder, 1));
  QPainterPath back;
  back.moveTo(2.5, 20.5);
  back.lineTo(2.5, 5.5);
  back.quadTo(2.5, 4.5, 3.5, 4.5);
  back.lineTo(8.5, 4.5);
  back.lineTo(10.5, 6.5);
  back.lineTo(20.5, 6.5);
  back.quadTo(21.5, 6.5, 21.5, 7.5);
  back.lineTo(21.5, 20.5);
  back.closeSubpath();
  p.setBrush(Vertical(4, 10, QColor(232, 160, 30), QColor(214, 140, 20)));
  p.drawPath(back);
  QPainterPath front;
  front.addRoundedRect(QRectF(2.5, 9.5, 19, 11), 1, 1);
  p.setBrush(Vertical(9, 21, QColor(255, 214, 92), QColor(246, 180, 40)));
  p.drawPath(front);
  p.setPen(QPen(QColor(255, 236, 160), 1));
  p.drawLine(QPointF(3.5, 10.5), QPointF(20.5, 10.5));
}

// Clears a ring around the badge so it stands apart from the folder.
void CutOut(QPainter& p, QPointF centre, qreal radius) {
  p.save();
  p.setCompositionMode(QPainter::CompositionMode_Clear);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawEllipse(centre, radius, radius);
  p.restore();
}

// A round badge at the lower right; `mark` draws the white sign in it.
void DrawBadge(QPainter& p, const QColor& light, const QColor& dark, const std::function<void(QPainter&)>& mark) {
  const QPointF centre(18, 18);
  CutOut(p, centre, 6.6);
  p.setPen(QPen(dark.darker(125), 1));
  p.setBrush(Vertical(12, 24, light, dark));
  p.drawEllipse(centre, 5.5, 5.5);
  mark(p);
}

QImage GlyphMark() {
  QImage image = Transparent(25, 25);
  Painter p(&image);
  DrawFolder(p);
  DrawBadge(p, QColor(98, 200, 78), QColor(40, 150, 44), [](QPainter& q) {
    q.setPen(Qt::NoPen);
    q.setBrush(Qt::white);
    q.drawRect(QRectF(15, 17, 6, 2));
    q.drawRect(QRectF(17, 15, 2, 6));
  });
  return image;
}

QImage GlyphUnmark() {
  QImage image = Transparent(25, 25);
  Painter p(&image);
  DrawFolder(p);
  DrawBadge(p, QColor(240, 96, 80), QColor(200, 40, 36), [](QPainter& q) {
    q.setPen(QPen(Qt::white, 1.9, Qt::SolidLine, Qt::RoundCap));
    q.drawLine(QPointF(15.8, 15.8), QPointF(20.2, 20.2));
    q.drawLine(QPointF(20.2, 15.8), QPointF(15.8, 20.2));
  });
  return image;
}

QImage GlyphDelete() {
  QImage image = Transparent(25, 25);
  Painter p(&image);
  p.setPen(QPen(QColor(168, 34, 30), 1));
  p.setBrush(Vertical(10, 15, QColor(244, 110, 94), QColor(206, 44, 40)));
  p.drawRoundedRect(QRectF(3.5, 10.5, 18, 4), 1.5, 1.5);
  p.setPen(QPen(QColor(255, 180, 170, 170), 1));
  p.drawLine(QPointF(5, 11.5), QPointF(20, 11.5));
  return image;
}

QImage GlyphRename() {
  QImage image = Transparent(25, 25);
  Painter p(&image);
  // The field, with a faint shadow under it.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 40));
  p.drawRoundedRect(QRectF(1, 7, 23, 13), 1.5, 1.5);
  p.setPen(QPen(QColor(110, 122, 136), 1));
  p.setBrush(Vertical(6, 19, QColor(255, 255, 255), QColor(236, 240, 245)));
  p.drawRoundedRect(QRectF(1.5, 6.5, 22, 12), 1.5, 1.5);
  // A selected letter A and the text cursor after it.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(196, 224, 246));
  p.drawRect(QRectF(3, 8, 10, 9));
  p.setPen(QPen(QColor(34, 46, 60), 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath a;
  a.moveTo(4.6, 16.2);
  a.lineTo(8, 8.6);
  a.lineTo(11.4, 16.2);
  p.drawPath(a);
  p.setPen(QPen(QColor(34, 46, 60), 1.2));
  p.drawLine(QPointF(6.0, 13.6), QPointF(10.0, 13.6));
  p.setPen(QPen(QColor(0, 100, 170), 1));
  p.drawLine(QPointF(14.5, 7.5), QPointF(14.5, 17.5));
  return image;
}

// ---------------------------------------------------------------- icon

// The notebook, drawn on a 256-unit square; rectangles are snapped to whole
// pixels at every size so the small icons stay sharp, and the small sizes
// leave out the rings and the ribbon.
QImage Icon(int size) {
  QImage image = Transparent(size, size);
  Painter p(&image);
  const qreal k = size / 256.0;
  auto snap = [&](qreal l, qreal t, qreal r, qreal b) {
    return QRectF(std::round(l * k), std::round(t * k), std::round(r * k) - std::round(l * k),
                  std::round(b * k) - std::round(t * k));
  };
  const qreal radius = std::max(1.0, 16 * k);
  const qreal line = std::max(1.0, std::round(4 * k));
  const bool detailed = size >= 32;

  // Pages behind the cover, showing at the right and the bottom.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 166, 182));
  p.drawRoundedRect(snap(48, 22, 232, 244), radius, radius);
  p.setBrush(QColor(246, 248, 250));
  p.drawRoundedRect(snap(48, 22, 224, 236), radius, radius);
  if (size >= 48) {
    p.setPen(QPen(QColor(200, 208, 216), line / 2));
    for (int i = 0; i < 3; ++i) {
      const qreal x = std::round((216 + 4 * i) * k) + 0.5;
      p.drawLine(QPointF(x, std::round(36 * k)), QPointF(x, std::round(226 * k)));
    }
    p.setPen(Qt::NoPen);
  }
  // The cover.
  const QRectF cover = snap(30, 12, 214, 236);
  p.setBrush(Vertical(cover.top(), cover.bottom(), QColor(40, 160, 222), QColor(0, 96, 160)));
  p.drawRoundedRect(cover, radius, radius);
  // The spine.
  const QRectF spine = snap(30, 12, 74, 236);
  QPainterPath spinePath;
  spinePath.addRoundedRect(spine, radius, radius);
  QPainterPath spineRight;
  spineRight.addRect(spine.adjusted(spine.width() / 2, 0, 0, 0));
  p.setBrush(Vertical(cover.top(), cover.bottom(), QColor(10, 106, 170), QColor(0, 66, 118)));
  p.drawPath(spinePath.united(spineRight));
  // The label.
  const QRectF label = snap(100, 52, 190, 104);
  p.setBrush(QColor(252, 252, 246));
  p.drawRoundedRect(label, std::max(0.5, 8 * k), std::max(0.5, 8 * k));
  if (detailed) {
    p.setBrush(QColor(120, 150, 176));
    // Two text lines, equally thick in whole pixels, with a gap at least as
    // wide as a line.
    const qreal thick = std::max(1.0, std::round(6 * k));
    const qreal gap = std::max(2 * thick, std::round(14 * k));
    const QRectF first = snap(114, 68, 176, 68), second = snap(114, 68, 160, 68);
    p.drawRect(QRectF(first.left(), first.top(), first.width(), thick));
    p.drawRect(QRectF(second.left(), second.top() + gap, second.width(), thick));
  }
  // A bright edge along the cover's top.
  if (size >= 24) {
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRect(QRectF(spine.right(), cover.top(), cover.right() - spine.right() - radius, line));
  }
  // Rings through the spine.
  if (detailed) {
    const int rings = size >= 128 ? 7 : size >= 48 ? 5 : 4;
    const qreal top = 40, step = (208 - top) / (rings - 1);
    const qreal width = std::max(1.0, std::round(8 * k));
    const qreal centring = std::fmod(width, 2.0) / 2;  // odd widths sit on pixel centres
    p.setPen(QPen(QColor(164, 176, 190), width, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < rings; ++i) {
      const qreal y = std::floor((top + i * step) * k) + centring;
      p.drawLine(QPointF(std::round(20 * k), y), QPointF(std::round(54 * k), y));
    }
    p.setPen(Qt::NoPen);
  }
  // A yellow ribbon marks the favourite page.
  if (size >= 48) {
    QPainterPath ribbon;
    ribbon.moveTo(168 * k, 200 * k);
    ribbon.lineTo(188 * k, 200 * k);
    ribbon.lineTo(188 * k, 254 * k);
    ribbon.lineTo(178 * k, 244 * k);
    ribbon.lineTo(168 * k, 254 * k);
    ribbon.closeSubpath();
    p.setBrush(Vertical(200 * k, 254 * k, QColor(255, 214, 60), QColor(236, 168, 20)));
    p.drawPath(ribbon);
  }
  return image;
}

// ---------------------------------------------------------------- flags

QImage FlagMontenegro() {
  QImage image(29, 12, QImage::Format_ARGB32_Premultiplied);
  const QColor gold(212, 175, 55), red(196, 12, 12);
  image.fill(gold);
  Painter p(&image);
  p.fillRect(QRect(1, 1, 27, 10), red);
  // The double-headed eagle under its crown, reduced to a silhouette that
  // is the same on both sides of the middle.
  p.setPen(Qt::NoPen);
  p.setBrush(gold);
  const qreal mid = 14.5;
  auto both = [&](std::initializer_list<QPointF> half) {
    QPolygonF left, right;
    for (const QPointF& pt : half) {
      left << pt;
      right << QPointF(2 * mid - pt.x(), pt.y());
    }
    p.drawPolygon(left);
    p.drawPolygon(right);
  };
  both({{13.6, 4.6}, {9.2, 2.2}, {9.6, 5.4}, {10.6, 7.4}, {13.6, 7.2}});                 // wing
  both({{14.5, 7.0}, {13.2, 7.0}, {12.6, 9.8}, {14.5, 9.8}});                            // tail
  both({{14.5, 4.4}, {13.0, 4.4}, {11.4, 2.8}, {12.6, 2.5}, {14.0, 3.6}, {14.5, 3.6}});  // neck and head
  p.drawEllipse(QPointF(mid, 6.0), 1.3, 2.0);                                            // body
  p.drawRect(QRectF(13.5, 1.4, 2.0, 1.3));                                               // crown
  return image;
}

QImage FlagUnitedKingdom() {
  const int w = 29, h = 12;
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  const QColor blue(1, 33, 105), red(200, 16, 46);
  image.fill(blue);
  Painter p(&image);
  // The saltires: white along both diagonals, the red stripe beside the
  // centre line, below it in the upper quarter at the hoist and turned with
  // the arms, so a half turn maps the flag onto itself.
  const QPointF centre(w / 2.0, h / 2.0);
  const QPointF corners[] = {{0, 0}, {qreal(w), 0}, {qreal(w), qreal(h)}, {0, qreal(h)}};
  for (const QPointF& corner : corners) {
    const QPointF along = corner - centre;
    const qreal length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length;
    // With y downwards, (x, y) -> (y, -x) turns the arm's direction a
    // quarter anticlockwise: the side of the red stripe.
    const QPointF side(unit.y(), -unit.x());
    const QPointF tip = corner + unit * 2;
    auto band = [&](qreal from, qreal to) {
      QPolygonF poly;
      poly << centre + side * from << tip + side * from << tip + side * to << centre + side * to;
      return poly;
    };
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(band(-1.5, 1.5));
    // The red stripe is a single hard line: a softened one turns pink.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(red, 1));
    p.drawLine(centre + side * 0.7, tip + side * 0.7);
    p.setRenderHint(QPainter::Antialiasing, true);
  }
  // St George's cross over them, whole pixels.
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRect(0, 4, w, 4), Qt::white);
  p.fillRect(QRect(12, 0, 5, h), Qt::white);
  p.fillRect(QRect(0, 5, w, 2), red);
  p.fillRect(QRect(13, 0, 3, h), red);
  return image;
}

// ---------------------------------------------------------------- output

struct Picture {
  QString file;
  std::function<QImage()> draw;
};

std::vector<Picture> Pictures() {
  std::vector<Picture> list = {
      {"banner.jpg", Banner},
      {"glyph-mark.png", GlyphMark},
      {"glyph-delete.png", GlyphDelete},
      {"glyph-rename.png", GlyphRename},
      {"glyph-unmark.png", GlyphUnmark},
      {"flag-montenegro.png", FlagMontenegro},
      {"flag-united-kingdom.png", FlagUnitedKingdom},
  };
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    list.push_back({QStringLiteral("icon-%1.png").arg(size), [size] { return Icon(size); }});
  return list;
}

void Write(const QImage& image, const QString& path) {
  QImageWriter writer(path);
  if (path.endsWith(".jpg")) {
    // Plain baseline JPEG, so any libjpeg reads it.
    writer.setFormat("jpeg");
    writer.setQuality(90);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
  } else {
    writer.setFormat("png");
  }
  if (!writer.write(image))
    throw std::runtime_error(QStringLiteral("cannot write %1: %2").arg(path, writer.errorString()).toStdString());
}

// The picture 8 times larger (the big icons twice), pixel for pixel, over a checkerboard that
// shows the transparent parts.
QImage Enlarged(const QImage& image) {
  const int scale = image.width() > 64 ? 2 : 8, cell = 8;
  QImage out(image.width() * scale, image.height() * scale, QImage::Format_RGB32);
  QPainter p(&out);
  for (int y = 0; y < out.height(); y += cell)
    for (int x = 0; x < out.width(); x += cell)
      p.fillRect(x, y, cell, cell, ((x + y) / cell) % 2 ? QColor(200, 200, 200) : QColor(235, 235, 235));
  p.drawImage(out.rect(), image.scaled(out.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
  return out;
}

// The note header as the windows show it: the header colour, the banner
// stretched over it, the labels and the yellow data texts.
QImage HeaderMock(const QImage& banner, const QColor& labelColor) {
  QImage out(1000, 65, QImage::Format_RGB32);
  QPainter p(&out);
  p.fillRect(out.rect(), kHeaderBlue);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(out.rect(), banner);
  QFont bold(QStringLiteral("Tahoma"));
  bold.setPixelSize(16);
  bold.setBold(true);
  QFont small(bold);
  small.setPixelSize(11);
  small.setBold(false);
  p.setFont(bold);
  p.setPen(labelColor);
  p.drawText(QPoint(10, 24), QStringLiteral("Naslov:"));
  p.drawText(QPoint(10, 52), QStringLiteral("Kategorija:"));
  p.setPen(Qt::yellow);
  p.drawText(QPoint(110, 24), QStringLiteral("Uputstvo za podešavanje mrežnog štampača"));
  p.drawText(QPoint(110, 52), QStringLiteral("Računari"));
  p.setFont(small);
  p.drawText(QRect(0, 4, 992, 14), Qt::AlignRight, QStringLiteral("11.12.2026"));
  return out;
}

void WritePreviews(const std::vector<Picture>& pictures, const QString& dir) {
  for (const Picture& picture : pictures) {
    const QImage image = picture.draw();
    if (picture.file.endsWith(".png")) Write(Enlarged(image), dir + "/x8-" + picture.file);
  }
  const QImage banner = Banner();
  Write(HeaderMock(banner, Qt::black), dir + "/header-black.png");
  Write(HeaderMock(banner, QColor(240, 240, 240)), dir + "/header-white.png");
  Write(HeaderMock(QImage(), Qt::black), dir + "/header-plain.png");
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2 || args.size() > 3) {
    std::fprintf(stderr, "usage: notarium-draw-pictures OUTDIR [PREVIEWDIR]\n");
    return 2;
  }
  try {
    const std::vector<Picture> pictures = Pictures();
    for (int i = 1; i < args.size(); ++i)
      if (!QDir().mkpath(args[i])) throw std::runtime_error("cannot create " + args[i].toStdString());
    for (const Picture& picture : pictures) Write(picture.draw(), args[1] + "/" + picture.file);
    if (args.size() == 3) WritePreviews(pictures, args[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "notarium-draw-pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
