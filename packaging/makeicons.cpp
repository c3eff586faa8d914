// Writes the program's icon as PNG files for the desktop's icon theme, at build time:
//   quellex_makeicons <output folder> <icon name> <size>...
// Each size goes to <output folder>/<size>x<size>/apps/<icon name>.png.
//   quellex_makeicons <file>.ico
// writes the Windows executable's icon: the design size, in 256 colours.

#include "forms/common/artwork.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QStringList>
#include <cstdio>

namespace {

// The icon at its design size as a Windows icon file of one 256-colour image: palette, pixels and
// transparency mask, rows bottom up. Qt's own ICO writer would store 32 bits a pixel.
bool writeIcon(QFile &file)
{
    const int size = quellex::forms::kProgramIconDesignSize;
    const QImage argb = quellex::forms::programIconImage(size);
    // The artwork has at most 256 colours at this size: each gets its own palette entry.
    QList<QRgb> palette;
    QHash<QRgb, int> entries;
    QImage indexed(size, size, QImage::Format_Indexed8);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb colour = argb.pixel(x, y) | 0xff000000;
            auto entry = entries.find(colour);
            if (entry == entries.end()) {
                if (palette.size() == 256)
                    return false;
                entry = entries.insert(colour, int(palette.size()));
                palette.append(colour);
            }
            indexed.scanLine(y)[x] = uchar(*entry);
        }
    }
    palette.resize(256, 0);
    const int maskStride = (size + 31) / 32 * 4;
    const quint32 imageBytes = quint32(40 + 256 * 4 + size * size + maskStride * size);

    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(1);                 // icon file, one image
    out << quint8(size) << quint8(size) << quint8(0) << quint8(0); // 0 colours: 256
    out << quint16(1) << quint16(8) << imageBytes << quint32(6 + 16);
    out << quint32(40) << qint32(size) << qint32(size * 2) << quint16(1) << quint16(8) << quint32(0)
        << quint32(size * size + maskStride * size) << qint32(0) << qint32(0) << quint32(256) << quint32(0);
    for (const QRgb colour : palette)
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    for (int y = size - 1; y >= 0; --y)
        out.writeRawData(reinterpret_cast<const char *>(indexed.constScanLine(y)), size);
    for (int y = size - 1; y >= 0; --y) {
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(argb.pixel(x, y)) < 128)
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
        }
        out.writeRawData(mask.constData(), maskStride);
    }
    return out.status() == QDataStream::Ok && file.flush();
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args.at(1).endsWith(QLatin1String(".ico"))) {
        QFile file(args.at(1));
        if (!file.open(QIODevice::WriteOnly) || !writeIcon(file)) {
            std::fprintf(stderr, "quellex_makeicons: cannot write %s\n", qPrintable(args.at(1)));
            return 1;
        }
        return 0;
    }
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: quellex_makeicons <output folder> <icon name> <size>...\n");
        return 2;
    }

    const QDir output(args.at(1));
    for (const QString &text : args.mid(3)) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "quellex_makeicons: not a size: %s\n", qPrintable(text));
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = output.filePath(folder + QLatin1Char('/') + args.at(2) + QStringLiteral(".png"));
        if (!output.mkpath(folder) || !quellex::forms::programIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "quellex_makeicons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
