// icon_png SOURCE.xpm TARGET.png SIZE
//
// Writes one of the program's own icon images as the PNG file the desktop's icon theme
// wants, pixel for pixel, transparency included. The image must be SIZE x SIZE pixels: an
// icon of the wrong size in a theme's size folder is drawn scaled, and blurred.
//
// Exit status: 0 written, 1 failed (the reason goes to standard error), 2 wrong usage.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <QString>
#include <cstdio>

namespace {

int failure(const QString& message)
{
    std::fprintf(stderr, "icon_png: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    bool sizeGiven = false;
    const int size = argc == 4 ? QString::fromLocal8Bit(argv[3]).toInt(&sizeGiven) : 0;
    if (!sizeGiven || size <= 0) {
        std::fprintf(stderr, "usage: icon_png SOURCE.xpm TARGET.png SIZE\n");
        return 2;
    }
    const QString source = QFile::decodeName(argv[1]);
    const QString target = QFile::decodeName(argv[2]);

    QImageReader reader(source, "xpm");
    const QImage image = reader.read();
    if (image.isNull())
        return failure(QStringLiteral("cannot read '%1' as an XPM image: %2").arg(source, reader.errorString()));
    if (image.width() != size || image.height() != size)
        return failure(QStringLiteral("'%1' is %2 x %3 pixels, not %4 x %4").arg(source).arg(image.width()).arg(image.height()).arg(size));

    // Written in one piece, so that a failed run leaves no cut-short icon for the install.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return failure(QStringLiteral("cannot write '%1': %2").arg(target, file.errorString()));
    if (!image.convertToFormat(QImage::Format_ARGB32).save(&file, "PNG"))
        return failure(QStringLiteral("cannot encode '%1' as PNG").arg(target));
    if (!file.commit())
        return failure(QStringLiteral("cannot write '%1': %2").arg(target, file.errorString()));
    return 0;
}
