// Renders the application icon's SVG into a square PNG of the size given, at build time:
//   rendericon parlix.svg parlix-48.png 48
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Shapes only, no text: painting into an image needs no application object nor platform.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    bool sizeOk = false;
    const int size = arguments.size() == 4 ? arguments.at(3).toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr, "usage: rendericon SVG PNG SIZE\n");
        return 2;
    }
    QSvgRenderer renderer(arguments.at(1));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "rendericon: cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    if (!image.save(arguments.at(2), "PNG")) {
        std::fprintf(stderr, "rendericon: cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
