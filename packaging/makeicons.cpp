// Writes the program's icon as PNG files for the desktop's icon theme, at build time:
//   quellex_makeicons <output folder> <icon name> <size>...
// Each size goes to <output folder>/<size>x<size>/apps/<icon name>.png.
//   quellex_makeicons <file>.ico
// writes the Windows executable's icon: the design size, in 256 colours.

#include "forms/common/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args.at(1).endsWith(QLatin1String(".ico"))) {
        const QImage icon = quellex::programIconImage(quellex::programIconDesignSize)
                                .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
        if (!icon.save(args.at(1), "ICO")) {
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
        if (!output.mkpath(folder) || !quellex::programIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "quellex_makeicons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
