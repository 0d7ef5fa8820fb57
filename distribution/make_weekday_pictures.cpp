// Draws the seven weekday pictures of the sample distribution, Image0.jpg
// (Sunday) to Image6.jpg (Saturday), into the folder given as the argument.
// Each shows its day in Japanese and English on a colour of its own, with the
// thing its Japanese name stands for: sun, moon, fire, water, tree, gold, earth.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>

namespace {

struct Day {
  const char* japanese;
  const char* english;
  QColor background;
  QColor accent;
};

const Day kDays[7] = {
    {"日曜日", "Sunday", QColor(0xF6, 0xC3, 0x4A), QColor(0xE0, 0x4A, 0x1F)},
    {"月曜日", "Monday", QColor(0x23, 0x2F, 0x5C), QColor(0xF2, 0xEB, 0xC4)},
    {"火曜日", "Tuesday", QColor(0x8E, 0x1B, 0x1B), QColor(0xFF, 0x9A, 0x2E)},
    {"水曜日", "Wednesday", QColor(0x1E, 0x6F, 0xA8), QColor(0xBF, 0xE8, 0xFF)},
    {"木曜日", "Thursday", QColor(0x3C, 0x7A, 0x3A), QColor(0x8B, 0x5A, 0x2B)},
    {"金曜日", "Friday", QColor(0x4A, 0x3B, 0x1C), QColor(0xE8, 0xC1, 0x3A)},
    {"土曜日", "Saturday", QColor(0xB7, 0x8B, 0x5E), QColor(0x6B, 0x4A, 0x2A)},
};

void DrawSymbol(QPainter& p, int day, const QColor& accent) {
  const QPointF centre(500, 170);
  p.setPen(Qt::NoPen);
  p.setBrush(accent);
  switch (day) {
    case 0:  // sun: a disc with rays
      for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(i * 30);
        p.drawRect(QRectF(-6, -95, 12, 30));
        p.restore();
      }
      p.drawEllipse(centre, 55, 55);
      break;
    case 1: {  // moon: a crescent
      QPainterPath moon;
      moon.addEllipse(centre, 70, 70);
      QPainterPath bite;
      bite.addEllipse(centre + QPointF(35, -20), 65, 65);
      p.drawPath(moon.subtracted(bite));
      break;
    }
    case 2: {  // fire: a flame with a brighter core
      auto flame = [&](double scale) {
        QPainterPath path;
        path.moveTo(centre + QPointF(0, -95) * scale);
        path.cubicTo(centre + QPointF(15, -40) * scale, centre + QPointF(65, -10) * scale,
                     centre + QPointF(55, 40) * scale);
        path.cubicTo(centre + QPointF(45, 85) * scale, centre + QPointF(-45, 85) * scale,
                     centre + QPointF(-55, 40) * scale);
        path.cubicTo(centre + QPointF(-60, 0) * scale, centre + QPointF(-20, -30) * scale,
                     centre + QPointF(0, -95) * scale);
        return path;
      };
      p.drawPath(flame(1.0));
      p.setBrush(QColor(0xFF, 0xE0, 0x70));
      p.translate(0, 25);
      p.drawPath(flame(0.55));
      p.translate(0, -25);
      break;
    }
    case 3:  // water: three drops
      for (int i = 0; i < 3; ++i) {
        const QPointF c = centre + QPointF((i - 1) * 60, (i % 2) * 40 - 10);
        QPainterPath drop;
        drop.moveTo(c + QPointF(0, -45));
        drop.cubicTo(c + QPointF(30, -5), c + QPointF(28, 30), c + QPointF(0, 30));
        drop.cubicTo(c + QPointF(-28, 30), c + QPointF(-30, -5), c + QPointF(0, -45));
        p.drawPath(drop);
      }
      break;
    case 4:  // tree: a trunk and a crown
      p.drawRect(QRectF(centre.x() - 12, centre.y(), 24, 90));
      p.setBrush(QColor(0x9C, 0xD0, 0x6A));
      p.drawEllipse(centre + QPointF(0, -20), 75, 60);
      break;
    case 5:  // gold: a coin
      p.drawEllipse(centre, 75, 75);
      p.setBrush(accent.darker(130));
      p.drawEllipse(centre, 55, 55);
      break;
    default: {  // earth: mountains
      QPolygonF hills;
      hills << centre + QPointF(-110, 80) << centre + QPointF(-40, -50) << centre + QPointF(10, 20)
            << centre + QPointF(50, -80) << centre + QPointF(120, 80);
      p.drawPolygon(hills);
      break;
    }
  }
}

QImage DrawDay(int day) {
  const Day& d = kDays[day];
  QImage image(640, 480, QImage::Format_RGB32);
  image.fill(d.background);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  const QColor ink = d.background.lightness() > 140 ? QColor(0x20, 0x20, 0x20) : QColor(Qt::white);
  p.setBrush(d.background.lighter(115));
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(30, 300, 580, 150), 20, 20);
  DrawSymbol(p, day, d.accent);

  QFont japanese("IPAPGothic");
  japanese.setPixelSize(96);
  p.setFont(japanese);
  p.setPen(ink);
  p.drawText(QRectF(40, 60, 380, 140), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(d.japanese));

  QFont english("IPAPGothic");
  english.setPixelSize(56);
  p.setFont(english);
  p.drawText(QRectF(50, 310, 560, 80), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(d.english));

  QFont note("IPAPGothic");
  note.setPixelSize(20);
  p.setFont(note);
  p.drawText(QRectF(50, 390, 560, 50), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("Corvalen 2.20 サンプル画像 / sample picture"));
  p.end();
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_weekday_pictures <output folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  for (int day = 0; day < 7; ++day) {
    const QString path = folder + QStringLiteral("/Image%1.jpg").arg(day);
    QImageWriter writer(path, "jpeg");
    writer.setQuality(85);
    if (!writer.write(DrawDay(day))) {
      std::fprintf(stderr, "make_weekday_pictures: %s: %s\n", qPrintable(path),
                   qPrintable(writer.errorString()));
      return 1;
    }
  }
  return 0;
}
