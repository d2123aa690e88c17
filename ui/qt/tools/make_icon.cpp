// Draws the program icon and writes it as SVG, PNG (256 px) and a Windows
// ICO (16, 24, 32, 48 px as bitmaps, 256 px as PNG), all from one list of
// shapes so the three files always agree. Run once after changing a shape:
//   lumiq-make-icon res/icons
// The build also draws the PNG sizes of the installed icon theme with it.

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace {

// The design: a blue tile, the dark glass window of a scanner with a
// barcode behind it, four viewfinder corners and a red beam across.
constexpr double kCanvas = 256;

struct Shape {
  double x, y, w, h, radius;
  const char* fill;     // "#rrggbb", or "" for none
  double fillOpacity;
  const char* stroke;   // "" for none
  double strokeWidth;
};

const char kTileTop[] = "#3a7bd5";
const char kTileBottom[] = "#1d3f73";

std::vector<Shape> Shapes() {
  std::vector<Shape> shapes = {
      // scanner window
      {48, 56, 160, 144, 20, "#0d2240", 1.0, "#9cc3ee", 6},
  };
  // barcode behind the glass
  const double bars[][2] = {{70, 6}, {82, 3}, {90, 9}, {105, 3}, {113, 6}, {125, 3},
                            {133, 9}, {148, 3}, {156, 6}, {168, 3}, {176, 6}};
  for (const auto& bar : bars) shapes.push_back({bar[0], 80, bar[1], 96, 0, "#d8e4f2", 1.0, "", 0});
  // viewfinder corners
  const char* white = "#ffffff";
  shapes.push_back({60, 68, 24, 6, 3, white, 1.0, "", 0});
  shapes.push_back({60, 68, 6, 24, 3, white, 1.0, "", 0});
  shapes.push_back({172, 68, 24, 6, 3, white, 1.0, "", 0});
  shapes.push_back({190, 68, 6, 24, 3, white, 1.0, "", 0});
  shapes.push_back({60, 182, 24, 6, 3, white, 1.0, "", 0});
  shapes.push_back({60, 164, 6, 24, 3, white, 1.0, "", 0});
  shapes.push_back({172, 182, 24, 6, 3, white, 1.0, "", 0});
  shapes.push_back({190, 164, 6, 24, 3, white, 1.0, "", 0});
  // the beam: a glow and its core
  shapes.push_back({30, 116, 196, 24, 12, "#ff4d3d", 0.35, "", 0});
  shapes.push_back({26, 124, 204, 8, 4, "#ff3b2f", 1.0, "", 0});
  return shapes;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string Svg() {
  std::string svg =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
      "viewBox=\"0 0 256 256\">\n"
      "  <defs>\n"
      "    <linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
      "      <stop offset=\"0\" stop-color=\"" + std::string(kTileTop) + "\"/>\n"
      "      <stop offset=\"1\" stop-color=\"" + std::string(kTileBottom) + "\"/>\n"
      "    </linearGradient>\n"
      "  </defs>\n"
      "  <rect x=\"12\" y=\"12\" width=\"232\" height=\"232\" rx=\"44\" fill=\"url(#tile)\"/>\n";
  for (const Shape& s : Shapes()) {
    svg += "  <rect x=\"" + Number(s.x) + "\" y=\"" + Number(s.y) + "\" width=\"" + Number(s.w) +
           "\" height=\"" + Number(s.h) + "\"";
    if (s.radius > 0) svg += " rx=\"" + Number(s.radius) + "\"";
    svg += " fill=\"" + std::string(*s.fill ? s.fill : "none") + "\"";
    if (s.fillOpacity < 1) svg += " fill-opacity=\"" + Number(s.fillOpacity) + "\"";
    if (*s.stroke) {
      svg += " stroke=\"" + std::string(s.stroke) + "\" stroke-width=\"" + Number(s.strokeWidth) + "\"";
    }
    svg += "/>\n";
  }
  svg += "</svg>\n";
  return svg;
}

QImage Render(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / kCanvas, size / kCanvas);

  QLinearGradient tile(0, 12, 0, 244);
  tile.setColorAt(0, QColor(kTileTop));
  tile.setColorAt(1, QColor(kTileBottom));
  painter.setPen(Qt::NoPen);
  painter.setBrush(tile);
  painter.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);

  for (const Shape& s : Shapes()) {
    QPainterPath path;
    path.addRoundedRect(QRectF(s.x, s.y, s.w, s.h), s.radius, s.radius);
    if (*s.fill) {
      QColor fill(s.fill);
      fill.setAlphaF(static_cast<float>(s.fillOpacity));
      painter.fillPath(path, fill);
    }
    if (*s.stroke) painter.strokePath(path, QPen(QColor(s.stroke), s.strokeWidth));
  }
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

void Put16(QByteArray* out, uint16_t value) {
  out->append(static_cast<char>(value & 0xFF));
  out->append(static_cast<char>(value >> 8));
}
void Put32(QByteArray* out, uint32_t value) {
  Put16(out, static_cast<uint16_t>(value & 0xFFFF));
  Put16(out, static_cast<uint16_t>(value >> 16));
}

// A 32-bit icon bitmap: header, colour rows bottom-up (BGRA), then the
// transparency mask rows, each padded to 4 bytes.
QByteArray IconBitmap(const QImage& image) {
  const int n = image.width();
  const int maskStride = ((n + 31) / 32) * 4;
  QByteArray out;
  Put32(&out, 40);
  Put32(&out, static_cast<uint32_t>(n));
  Put32(&out, static_cast<uint32_t>(2 * n));  // colour and mask
  Put16(&out, 1);
  Put16(&out, 32);
  Put32(&out, 0);
  Put32(&out, static_cast<uint32_t>(n * n * 4 + maskStride * n));
  for (int i = 0; i < 4; ++i) Put32(&out, 0);
  for (int y = n - 1; y >= 0; --y) {
    for (int x = 0; x < n; ++x) Put32(&out, image.pixel(x, y));  // 0xAARRGGBB = B G R A
  }
  for (int y = n - 1; y >= 0; --y) {
    QByteArray row(maskStride, '\0');
    for (int x = 0; x < n; ++x) {
      if (qAlpha(image.pixel(x, y)) == 0) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    out.append(row);
  }
  return out;
}

QByteArray Ico() {
  const int sizes[] = {16, 24, 32, 48, 256};
  std::vector<QByteArray> images;
  for (int size : sizes) {
    const QImage image = Render(size);
    images.push_back(size >= 256 ? Png(image) : IconBitmap(image));
  }
  QByteArray out;
  Put16(&out, 0);
  Put16(&out, 1);  // icon
  Put16(&out, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int size = sizes[i];
    out.append(static_cast<char>(size >= 256 ? 0 : size));
    out.append(static_cast<char>(size >= 256 ? 0 : size));
    out.append('\0');  // no palette
    out.append('\0');
    Put16(&out, 1);
    Put16(&out, 32);
    Put32(&out, static_cast<uint32_t>(images[i].size()));
    Put32(&out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const QByteArray& image : images) out.append(image);
  return out;
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // One PNG of another size, for the desktop icon theme (built, not kept).
  if (argc == 4 && std::string(argv[1]) == "--png") {
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 1024) {
      std::fputs("lumiq-make-icon: size must be 16 to 1024\n", stderr);
      return 2;
    }
    return Write(QString::fromLocal8Bit(argv[3]), Png(Render(size))) ? 0 : 1;
  }
  if (argc != 2) {
    std::fputs("usage: lumiq-make-icon OUTPUT_FOLDER\n"
               "       lumiq-make-icon --png SIZE FILE\n", stderr);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const std::string svg = Svg();
  const bool ok = Write(folder + "/lumiq.svg", QByteArray::fromStdString(svg)) &&
                  Write(folder + "/lumiq.png", Png(Render(256))) &&
                  Write(folder + "/lumiq.ico", Ico());
  return ok ? 0 : 1;
}
