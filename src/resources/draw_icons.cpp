// Draws the program's pictures (toolbar buttons, tree images, banner) into
// icons/*.png, and the program's icon at the desktop theme's sizes (second
// folder, NxN/korvo-bo6.png). The PNG files are committed; run this again after a change:
//   g++ -std=c++20 -fPIC draw_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/draw_icons
//   QT_QPA_PLATFORM=offscreen /tmp/draw_icons src/resources/icons packaging/icons
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <functional>

namespace {

constexpr int kSize = 48;
const QColor kInk(0x2f, 0x3b, 0x4c);
const QColor kBlue(0x2b, 0x6c, 0xb0);
const QColor kLightBlue(0x8c, 0xbc, 0xe8);
const QColor kGreen(0x2e, 0x9d, 0x4f);
const QColor kRed(0xc8, 0x3a, 0x32);
const QColor kOrange(0xe8, 0x8a, 0x1a);
const QColor kYellow(0xf2, 0xc2, 0x4b);
const QColor kPaper(0xfb, 0xfb, 0xf7);

using Draw = std::function<void(QPainter&)>;

void save(const QString& folder, const QString& name, const Draw& draw,
          QSize size = {kSize, kSize}) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  p.end();
  image.save(QDir(folder).filePath(name + ".png"));
}

QPen pen(const QColor& c, double w = 3) {
  return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& c, double w = 5) {
  p.setPen(pen(c, w));
  p.drawLine(from, to);
  QLineF line(to, from);
  QLineF a = line;
  a.setLength(11);
  a.setAngle(line.angle() + 35);
  QLineF b = line;
  b.setLength(11);
  b.setAngle(line.angle() - 35);
  p.drawLine(a);
  p.drawLine(b);
}

void page(QPainter& p, QRectF r, const QColor& fill = kPaper) {
  QPainterPath path;
  const double fold = r.width() * 0.3;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.setPen(pen(kInk, 2));
  p.setBrush(fill);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
  p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void folder(QPainter& p, bool open) {
  p.setPen(pen(QColor(0x9a, 0x6a, 0x10), 2));
  p.setBrush(QColor(0xe0, 0xa8, 0x30));
  QPainterPath back;
  back.moveTo(4, 12);
  back.lineTo(18, 12);
  back.lineTo(22, 16);
  back.lineTo(42, 16);
  back.lineTo(42, 40);
  back.lineTo(4, 40);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(kYellow);
  if (open) {
    QPolygonF front({{10, 22}, {46, 22}, {40, 40}, {4, 40}});
    p.drawPolygon(front);
  } else {
    p.drawRect(QRectF(4, 20, 38, 20));
  }
}

void cube(QPainter& p, const QColor& c) {
  p.setPen(pen(kInk, 2));
  QPolygonF top({{24, 6}, {42, 14}, {24, 22}, {6, 14}});
  QPolygonF left({{6, 14}, {24, 22}, {24, 42}, {6, 34}});
  QPolygonF right({{24, 22}, {42, 14}, {42, 34}, {24, 42}});
  p.setBrush(c.lighter(140));
  p.drawPolygon(top);
  p.setBrush(c);
  p.drawPolygon(left);
  p.setBrush(c.darker(130));
  p.drawPolygon(right);
}

void sphere(QPainter& p, const QColor& c) {
  QRadialGradient g(QPointF(18, 16), 26);
  g.setColorAt(0, c.lighter(170));
  g.setColorAt(1, c.darker(120));
  p.setPen(pen(kInk, 2));
  p.setBrush(g);
  p.drawEllipse(QPointF(24, 24), 18, 18);
}

void grid(QPainter& p, QRectF r, int rows, int cols, const QColor& head) {
  p.setPen(pen(kInk, 2));
  p.setBrush(kPaper);
  p.drawRect(r);
  const double rh = r.height() / rows;
  p.fillRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, rh - 1), head);
  p.setPen(pen(kInk, 1.5));
  for (int i = 1; i < rows; ++i)
    p.drawLine(QPointF(r.left(), r.top() + i * rh), QPointF(r.right(), r.top() + i * rh));
  for (int j = 1; j < cols; ++j) {
    const double x = r.left() + j * r.width() / cols;
    p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
  }
}

void database(QPainter& p, QRectF r, const QColor& c) {
  p.setPen(pen(kInk, 2));
  p.setBrush(c);
  const double eh = r.height() * 0.25;
  QPainterPath body;
  body.moveTo(r.left(), r.top() + eh / 2);
  body.lineTo(r.left(), r.bottom() - eh / 2);
  body.arcTo(QRectF(r.left(), r.bottom() - eh, r.width(), eh), 180, 180);
  body.lineTo(r.right(), r.top() + eh / 2);
  p.drawPath(body);
  p.setBrush(c.lighter(130));
  p.drawEllipse(QRectF(r.left(), r.top(), r.width(), eh));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(r.left(), r.top() + r.height() * 0.33, r.width(), eh), 180 * 16, 180 * 16);
}

void plus(QPainter& p, QPointF c, double s, const QColor& col) {
  p.setPen(pen(col, 5));
  p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
  p.drawLine(QPointF(c.x(), c.y() - s), QPointF(c.x(), c.y() + s));
}

void minus(QPainter& p, QPointF c, double s, const QColor& col) {
  p.setPen(pen(col, 5));
  p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
}

void cross(QPainter& p, QPointF c, double s, const QColor& col, double w = 5) {
  p.setPen(pen(col, w));
  p.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() + s));
  p.drawLine(QPointF(c.x() - s, c.y() + s), QPointF(c.x() + s, c.y() - s));
}

void play(QPainter& p, QPointF c, double s, const QColor& col) {
  p.setPen(pen(col.darker(130), 2));
  p.setBrush(col);
  p.drawPolygon(
      QPolygonF({{c.x() - s * 0.7, c.y() - s}, {c.x() + s, c.y()}, {c.x() - s * 0.7, c.y() + s}}));
}

void text(QPainter& p, QRectF r, const QString& s, const QColor& c, int px, bool bold = true) {
  QFont f("DejaVu Sans");
  f.setPixelSize(px);
  f.setBold(bold);
  p.setFont(f);
  p.setPen(c);
  p.drawText(r, Qt::AlignCenter, s);
}

void navBar(QPainter& p, bool left) {
  p.setPen(pen(kInk, 4));
  const double x = left ? 12 : 36;
  p.drawLine(QPointF(x, 12), QPointF(x, 36));
}

void navTriangle(QPainter& p, double tipX, bool left) {
  p.setPen(pen(kInk, 2));
  p.setBrush(kBlue);
  const double back = left ? tipX + 16 : tipX - 16;
  p.drawPolygon(QPolygonF({{tipX, 24}, {back, 12}, {back, 36}}));
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString out = argc > 1 ? argv[1] : ".";
  QDir().mkpath(out);

  // The same picture as packaging/icons/scalable/korvo-bo6.svg.
  const Draw appIcon = [](QPainter& p) {
    database(p, QRectF(6, 6, 26, 34), kBlue);
    p.setPen(pen(kOrange, 5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(32, 30), 9, 9);
    p.drawLine(QPointF(38.5, 36.5), QPointF(45, 43));
  };
  save(out, "app", appIcon);
  if (argc > 2) {
    for (int px : {16, 22, 24, 32, 48, 64, 128, 256}) {
      const QString folder = QDir(argv[2]).filePath(QStringLiteral("%1x%1").arg(px));
      QDir().mkpath(folder);
      save(folder, "korvo-bo6", [&](QPainter& p) {
        p.scale(px / double(kSize), px / double(kSize));
        appIcon(p);
      }, {px, px});
    }
  }
  save(out, "mode_connect", [](QPainter& p) {
    // A plug entering a socket.
    p.setPen(pen(kInk, 2));
    p.setBrush(QColor(0x9a, 0xa4, 0xb0));
    p.drawRoundedRect(QRectF(28, 8, 16, 32), 4, 4);  // socket
    p.setBrush(kInk);
    p.drawRect(QRectF(31, 17, 4, 4));
    p.drawRect(QRectF(31, 27, 4, 4));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(8, 13, 14, 22), 3, 3);  // plug body
    p.setPen(pen(kInk, 3));
    p.drawLine(QPointF(22, 19), QPointF(29, 19));  // prongs
    p.drawLine(QPointF(22, 29), QPointF(29, 29));
    p.setPen(pen(kInk, 4));
    p.drawLine(QPointF(8, 24), QPointF(2, 24));  // cable
  });
  save(out, "mode_universe", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    QRadialGradient g(QPointF(18, 16), 28);
    g.setColorAt(0, kLightBlue.lighter(120));
    g.setColorAt(1, kBlue);
    p.setBrush(g);
    p.drawEllipse(QPointF(24, 24), 19, 19);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(QColor(255, 255, 255, 200), 1.5));
    p.drawEllipse(QPointF(24, 24), 8, 19);
    p.drawLine(QPointF(5, 24), QPointF(43, 24));
    p.drawLine(QPointF(8, 14), QPointF(40, 14));
    p.drawLine(QPointF(8, 34), QPointF(40, 34));
  });
  save(out, "mode_query", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kLightBlue);
    p.drawPolygon(QPolygonF({{4, 8}, {34, 8}, {22, 24}, {22, 38}, {16, 42}, {16, 24}}));
    cube(p, kGreen);
  });
  save(out, "mode_result", [](QPainter& p) { grid(p, QRectF(4, 8, 40, 32), 4, 3, kLightBlue); });
  save(out, "mode_editor", [](QPainter& p) {
    page(p, QRectF(6, 4, 30, 40));
    text(p, QRectF(6, 12, 26, 14), "SQL", kBlue, 10);
    p.setPen(pen(kInk, 1.5));
    for (int y : {30, 35}) p.drawLine(QPointF(11, y), QPointF(30, y));
    p.setPen(pen(kInk, 2));
    p.setBrush(kOrange);
    p.drawPolygon(QPolygonF({{40, 18}, {46, 24}, {30, 42}, {23, 44}, {25, 36}}));
  });
  save(out, "mode_new", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 10, 32, 28));
    p.fillRect(QRectF(5, 11, 31, 7), kBlue);
    plus(p, QPointF(38, 34), 7, kGreen);
  });

  save(out, "import", [](QPainter& p) {
    database(p, QRectF(14, 18, 28, 26), kLightBlue);
    arrow(p, QPointF(12, 4), QPointF(26, 22), kGreen);
  });
  save(out, "export", [](QPainter& p) {
    database(p, QRectF(6, 18, 28, 26), kLightBlue);
    arrow(p, QPointF(24, 22), QPointF(42, 4), kBlue);
  });
  save(out, "drop", [](QPainter& p) {
    database(p, QRectF(8, 8, 28, 34), kLightBlue);
    cross(p, QPointF(34, 34), 8, kRed);
  });
  save(out, "new", [](QPainter& p) {
    page(p, QRectF(8, 4, 30, 40));
    plus(p, QPointF(36, 36), 7, kGreen);
  });
  save(out, "open", [](QPainter& p) { folder(p, true); });
  save(out, "save", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(6, 6, 36, 36), 3, 3);
    p.setBrush(kPaper);
    p.drawRect(QRectF(13, 6, 22, 14));
    p.setBrush(QColor(0xd0, 0xd6, 0xde));
    p.drawRect(QRectF(12, 28, 24, 14));
  });
  save(out, "classes", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.drawLine(QPointF(12, 14), QPointF(12, 38));
    p.drawLine(QPointF(12, 26), QPointF(22, 26));
    p.drawLine(QPointF(12, 38), QPointF(22, 38));
    p.setBrush(kYellow);
    p.drawRect(QRectF(4, 4, 16, 11));
    p.setBrush(kGreen);
    p.drawRect(QRectF(22, 21, 12, 10));
    p.setBrush(kOrange);
    p.drawEllipse(QRectF(22, 33, 11, 11));
  });
  save(out, "execute", [](QPainter& p) { play(p, QPointF(24, 24), 18, kGreen); });
  save(out, "clear_all", [](QPainter& p) {
    grid(p, QRectF(4, 6, 32, 30), 3, 2, kLightBlue);
    cross(p, QPointF(36, 36), 8, kRed);
  });
  save(out, "add", [](QPainter& p) { plus(p, QPointF(24, 24), 15, kGreen); });
  save(out, "remove", [](QPainter& p) { minus(p, QPointF(24, 24), 15, kRed); });
  save(out, "down", [](QPainter& p) { arrow(p, QPointF(24, 6), QPointF(24, 42), kBlue); });
  save(out, "up", [](QPainter& p) { arrow(p, QPointF(24, 42), QPointF(24, 6), kBlue); });
  save(out, "paren_add", [](QPainter& p) {
    text(p, QRectF(0, 0, 34, 48), "( )", kInk, 24);
    plus(p, QPointF(38, 36), 7, kGreen);
  });
  save(out, "paren_remove", [](QPainter& p) {
    text(p, QRectF(0, 0, 34, 48), "( )", kInk, 24);
    minus(p, QPointF(38, 36), 7, kRed);
  });
  save(out, "paren_line", [](QPainter& p) {
    p.setPen(pen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 28, 40, 12));
    text(p, QRectF(4, 0, 30, 28), ")", kInk, 24);
    plus(p, QPointF(38, 14), 7, kGreen);
  });
  save(out, "copy", [](QPainter& p) {
    page(p, QRectF(4, 4, 24, 32), QColor(0xe6, 0xec, 0xf3));
    page(p, QRectF(18, 12, 24, 32));
  });
  save(out, "spreadsheet", [](QPainter& p) {
    grid(p, QRectF(4, 6, 40, 36), 4, 3, kGreen.lighter(150));
    p.fillRect(QRectF(5, 7, 13, 34), QColor(0xd8, 0xe8, 0xd8));
    p.setPen(pen(kInk, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4, 6, 40, 36));
  });
  save(out, "refresh", [](QPainter& p) {
    p.setPen(pen(kGreen, 5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 32, 32), 60 * 16, 280 * 16);
    p.setBrush(kGreen);
    p.setPen(pen(kGreen, 2));
    p.drawPolygon(QPolygonF({{30, 2}, {40, 12}, {26, 16}}));
  });
  save(out, "close", [](QPainter& p) { cross(p, QPointF(24, 24), 12, kRed, 6); });
  save(out, "values", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6, 6, 36, 36));
    for (int i = 0; i < 4; ++i) {
      p.setBrush(i == 1 ? kBlue : kLightBlue);
      p.drawRect(QRectF(11, 11 + i * 7.5, 5, 5));
      p.drawLine(QPointF(20, 13.5 + i * 7.5), QPointF(37, 13.5 + i * 7.5));
    }
  });
  save(out, "nav_first", [](QPainter& p) {
    navBar(p, true);
    navTriangle(p, 16, true);
  });
  save(out, "nav_prior", [](QPainter& p) { navTriangle(p, 14, true); });
  save(out, "nav_next", [](QPainter& p) { navTriangle(p, 34, false); });
  save(out, "nav_last", [](QPainter& p) {
    navBar(p, false);
    navTriangle(p, 32, false);
  });

  save(out, "tree_folder_closed", [](QPainter& p) { folder(p, false); });
  save(out, "tree_folder_open", [](QPainter& p) { folder(p, true); });
  save(out, "tree_cube", [](QPainter& p) { cube(p, kBlue); });
  save(out, "tree_sphere", [](QPainter& p) { sphere(p, kOrange); });
  save(out, "tree_table", [](QPainter& p) { grid(p, QRectF(6, 8, 36, 32), 4, 2, kLightBlue); });
  save(out, "tree_join", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kLightBlue);
    p.drawRect(QRectF(4, 6, 16, 14));
    p.drawRect(QRectF(28, 28, 16, 14));
    p.setPen(pen(kBlue, 3));
    p.drawLine(QPointF(20, 13), QPointF(28, 35));
  });
  save(out, "tree_prompt", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kYellow);
    p.drawEllipse(QPointF(24, 24), 18, 18);
    text(p, QRectF(6, 6, 36, 36), "?", kInk, 26);
  });
  save(out, "tree_item", [](QPainter& p) {
    p.setPen(pen(kInk, 2));
    p.setBrush(kGreen);
    p.drawRoundedRect(QRectF(14, 14, 20, 20), 4, 4);
  });

  save(
      out, "banner",
      [](QPainter& p) {
        QLinearGradient g(0, 0, 420, 90);
        g.setColorAt(0, QColor(0x1d, 0x3f, 0x6e));
        g.setColorAt(1, QColor(0x3a, 0x86, 0xc8));
        p.fillRect(QRectF(0, 0, 420, 90), g);
        p.save();
        p.translate(18, 18);
        p.scale(1.15, 1.15);
        database(p, QRectF(0, 0, 30, 40), kLightBlue);
        p.restore();
        p.setPen(pen(QColor(255, 255, 255, 60), 1));
        for (int x = 80; x < 420; x += 24) p.drawLine(QPointF(x, 78), QPointF(x + 30, 60));
        text(p, QRectF(70, 8, 340, 48), "Korvo-BO6", Qt::white, 38);
        text(p, QRectF(70, 54, 340, 26), "SQL  \u00b7  Oracle  \u00b7  BO 6.5",
             QColor(0xd6, 0xe6, 0xf6), 15, false);
      },
      QSize(420, 90));
  return 0;
}
