#include "forms/common/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <vector>

namespace quellex::forms {
namespace {

// The head is drawn in a 100 by 130 unit box; callers map that box onto their pixels.
constexpr QSizeF kHeadBox(100.0, 130.0);

// Pictures are drawn this many times larger and then reduced, which keeps thin lines clean at
// the small sizes the windows use.
constexpr int kSupersample = 4;

double mirrored(double x)
{
    return kHeadBox.width() - x;
}

QPainterPath headOutline()
{
    QPainterPath path(QPointF(50, 4));
    path.cubicTo(24, 4, 9, 20, 9, 46);
    path.cubicTo(9, 58, 11, 66, 14, 72);
    path.lineTo(12, 84);
    path.lineTo(22, 92);
    path.lineTo(25, 114);
    path.cubicTo(26, 122, 34, 126, 50, 126);
    path.cubicTo(66, 126, 74, 122, 75, 114);
    path.lineTo(78, 92);
    path.lineTo(88, 84);
    path.lineTo(86, 72);
    path.cubicTo(89, 66, 91, 58, 91, 46);
    path.cubicTo(91, 20, 76, 4, 50, 4);
    path.closeSubpath();
    return path;
}

// Angled down towards the nose, which gives the head its frown.
QPainterPath eyeSocket(bool right)
{
    const QPointF points[] = {{13, 48}, {46, 57}, {47, 66}, {40, 74}, {21, 73}, {12, 62}};
    QPolygonF polygon;
    for (const QPointF &point : points)
        polygon << QPointF(right ? mirrored(point.x()) : point.x(), point.y());
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

QLinearGradient chrome(double top, double bottom)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0.00, QColor(0xf6, 0xf8, 0xfa));
    gradient.setColorAt(0.38, QColor(0x9c, 0xa6, 0xb2));
    gradient.setColorAt(0.47, QColor(0x4e, 0x57, 0x61));
    gradient.setColorAt(0.53, QColor(0xd8, 0xde, 0xe4));
    gradient.setColorAt(0.80, QColor(0x7a, 0x84, 0x8e));
    gradient.setColorAt(1.00, QColor(0x2c, 0x32, 0x38));
    return gradient;
}

void drawEyeGlow(QPainter &painter, QPointF centre, double radius)
{
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.00, QColor(0xff, 0xf4, 0xe0));
    glow.setColorAt(0.14, QColor(0xff, 0x50, 0x30));
    glow.setColorAt(0.38, QColor(0xe0, 0x00, 0x00, 230));
    glow.setColorAt(0.70, QColor(0x80, 0x00, 0x00, 90));
    glow.setColorAt(1.00, QColor(0x80, 0x00, 0x00, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
}

void drawTeeth(QPainter &painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0a, 0x0a, 0x0c));
    painter.drawRoundedRect(QRectF(27, 94, 46, 20), 3, 3);

    constexpr int count = 8;
    constexpr double pitch = 44.0 / count;
    for (int row = 0; row < 2; ++row) {
        const double top = row == 0 ? 95.0 : 104.5;
        painter.setBrush(chrome(top - 6, top + 14));
        for (int i = 0; i < count; ++i)
            painter.drawRoundedRect(QRectF(28.5 + i * pitch, top, pitch - 1.2, 8.5), 1.2, 1.2);
    }
}

// pixelsPerUnit keeps the eyes at least a few pixels wide when the head is drawn tiny.
void drawHead(QPainter &painter, double pixelsPerUnit)
{
    const QPainterPath outline = headOutline();
    painter.setPen(Qt::NoPen);
    painter.setBrush(chrome(4, 126));
    painter.drawPath(outline);

    // Shading across the head makes it read as round rather than flat.
    QLinearGradient shade(0, 0, kHeadBox.width(), 0);
    shade.setColorAt(0.00, QColor(0, 0, 0, 170));
    shade.setColorAt(0.30, QColor(0, 0, 0, 0));
    shade.setColorAt(0.62, QColor(0, 0, 0, 0));
    shade.setColorAt(1.00, QColor(0, 0, 0, 190));
    painter.setBrush(shade);
    painter.drawPath(outline);

    painter.save();
    painter.setClipPath(outline);
    QPen seam(QColor(0x20, 0x24, 0x28), 1.4);
    painter.setPen(seam);
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(50, 4), QPointF(50, 40));
    painter.drawLine(QPointF(14, 72), QPointF(30, 82));
    painter.drawLine(QPointF(86, 72), QPointF(70, 82));
    painter.drawLine(QPointF(30, 82), QPointF(70, 82));
    QRadialGradient highlight(QPointF(32, 22), 18);
    highlight.setColorAt(0.0, QColor(255, 255, 255, 220));
    highlight.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(highlight);
    painter.drawEllipse(QPointF(32, 22), 18, 12);
    painter.restore();

    painter.setPen(QPen(QColor(0x30, 0x36, 0x3c), 1.5));
    painter.setBrush(QColor(0x08, 0x08, 0x0a));
    for (bool right : {false, true})
        painter.drawPath(eyeSocket(right));

    QPainterPath nose(QPointF(50, 72));
    nose.lineTo(44, 87);
    nose.lineTo(50, 84);
    nose.lineTo(56, 87);
    nose.closeSubpath();
    painter.drawPath(nose);

    drawTeeth(painter);

    for (double x : {22.0, mirrored(22.0)}) {
        painter.setPen(QPen(QColor(0xe0, 0xe4, 0xe8), 1.0));
        painter.setBrush(QColor(0x18, 0x1c, 0x20));
        painter.drawEllipse(QPointF(x, 92), 3, 3);
    }

    painter.setPen(QPen(QColor(0x14, 0x16, 0x18), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);

    for (double x : {31.0, mirrored(31.0)})
        drawEyeGlow(painter, QPointF(x, 64), std::max(8.0, 2.2 / pixelsPerUnit));
}

// Fits the head box into target, centred, keeping its proportions; returns pixels per unit.
double placeHead(QPainter &painter, const QRectF &target)
{
    const double scale = std::min(target.width() / kHeadBox.width(), target.height() / kHeadBox.height());
    painter.translate(target.center().x() - kHeadBox.width() * scale / 2,
                      target.center().y() - kHeadBox.height() * scale / 2);
    painter.scale(scale, scale);
    return scale;
}

template<typename Draw> QImage render(QSize size, Draw draw)
{
    QImage large(size * kSupersample, QImage::Format_ARGB32_Premultiplied);
    large.fill(Qt::transparent);
    {
        QPainter painter(&large);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(kSupersample, kSupersample);
        draw(painter);
    }
    return large.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

void drawIcon(QPainter &painter, double size)
{
    const QRectF tile(size * 0.02, size * 0.02, size * 0.96, size * 0.96);
    QRadialGradient background(QPointF(size * 0.5, size * 0.45), size * 0.62);
    background.setColorAt(0.0, QColor(0x5a, 0x0c, 0x0c));
    background.setColorAt(0.6, QColor(0x1a, 0x02, 0x02));
    background.setColorAt(1.0, QColor(0x00, 0x00, 0x00));
    painter.setPen(QPen(QColor(0x70, 0x14, 0x14), size * 0.02));
    painter.setBrush(background);
    painter.drawRoundedRect(tile, size * 0.18, size * 0.18);

    painter.save();
    drawHead(painter,
             placeHead(painter, tile.adjusted(size * 0.04, size * 0.05, -size * 0.04, -size * 0.04)));
    painter.restore();
}

int channel(QRgb colour, int index)
{
    return (colour >> (8 * index)) & 0xff;
}

// Median cut: the boxes of colour space holding the most spread are halved until there are enough,
// and each box gives the average of its pixels. Far closer to the picture than a fixed palette.
QList<QRgb> reducedPalette(const QImage &image, int colours)
{
    std::vector<QRgb> pixels;
    pixels.reserve(image.width() * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        pixels.insert(pixels.end(), line, line + image.width());
    }

    struct Box
    {
        std::size_t begin, end;
        int spread = 0, widest = 0;
    };
    auto measure = [&](Box box) {
        for (int c = 0; c < 4; ++c) {
            const auto [low, high] =
                std::minmax_element(pixels.begin() + box.begin, pixels.begin() + box.end,
                                    [c](QRgb a, QRgb b) { return channel(a, c) < channel(b, c); });
            const int spread = channel(*high, c) - channel(*low, c);
            if (spread > box.spread) {
                box.spread = spread;
                box.widest = c;
            }
        }
        return box;
    };

    std::vector<Box> boxes{measure({0, pixels.size()})};
    while (int(boxes.size()) < colours) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const Box &a, const Box &b) { return a.spread < b.spread; });
        if (widest->spread == 0)
            break;
        const Box box = *widest;
        const std::size_t middle = (box.begin + box.end) / 2;
        std::nth_element(pixels.begin() + box.begin, pixels.begin() + middle, pixels.begin() + box.end,
                         [c = box.widest](QRgb a, QRgb b) { return channel(a, c) < channel(b, c); });
        *widest = measure({box.begin, middle});
        boxes.push_back(measure({middle, box.end}));
    }

    QList<QRgb> palette;
    for (const Box &box : boxes) {
        quint64 sum[4] = {};
        for (std::size_t i = box.begin; i < box.end; ++i)
            for (int c = 0; c < 4; ++c)
                sum[c] += channel(pixels[i], c);
        const quint64 n = box.end - box.begin;
        palette << ((sum[3] / n) << 24 | (sum[2] / n) << 16 | (sum[1] / n) << 8 | (sum[0] / n));
    }
    return palette;
}

} // namespace

QImage terminatorImage(int width, int height)
{
    return render(QSize(width, height), [&](QPainter &painter) {
        painter.fillRect(QRectF(0, 0, width, height), Qt::black);
        drawHead(painter, placeHead(painter, QRectF(0, 0, width, height)));
    });
}

QPixmap terminatorPicture()
{
    return QPixmap::fromImage(terminatorImage());
}

QImage programIconImage(int size)
{
    QImage icon = render(QSize(size, size), [&](QPainter &painter) { drawIcon(painter, size); });
    if (size == kProgramIconDesignSize)
        icon = icon.convertToFormat(QImage::Format_Indexed8, reducedPalette(icon, 256), Qt::ThresholdDither)
                   .convertToFormat(QImage::Format_ARGB32);
    return icon;
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, kProgramIconDesignSize, 128, 256})
        icon.addPixmap(QPixmap::fromImage(programIconImage(size)));
    return icon;
}

} // namespace quellex::forms
