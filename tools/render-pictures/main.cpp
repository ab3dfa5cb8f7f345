// Renders BITMAP_1..BITMAP_40 (24-bit BMP, plain background in the top-left pixel),
// STATUS_1..STATUS_3 (24-bit BMP, white background) and ICON_1..ICON_3 (16 x 16 PNG with alpha)
// from the Noto Color Emoji font. Needs the package fonts-noto-color-emoji; see CMakeLists.txt.
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

struct Smiley {
    int width, height;
    const char *text;
};

// The sizes are fixed by the program; the faces are ours to choose.
const Smiley kSmileys[40] = {
    {20, 20, "🙂"}, {20, 20, "😀"}, {20, 20, "😉"}, {20, 20, "😛"}, {20, 20, "😢"},
    {20, 20, "😠"}, {27, 24, "😎"}, {20, 20, "😮"}, {20, 20, "😕"}, {20, 20, "😊"},
    {20, 20, "😐"}, {20, 20, "🙁"}, {20, 20, "😂"}, {22, 22, "😍"}, {22, 22, "😘"},
    {26, 32, "👍"}, {33, 19, "🤝"}, {51, 35, "🍻"}, {40, 35, "☕"}, {36, 36, "❤️"},
    {36, 36, "💔"}, {35, 35, "🌹"}, {55, 35, "👏👏"}, {55, 50, "🎁"}, {22, 22, "🤔"},
    {45, 27, "🚗"}, {40, 27, "📧"}, {25, 25, "⭐"}, {50, 64, "🏆"}, {39, 21, "🙈🙊"},
    {36, 22, "👀"}, {60, 20, "😂😂😂"}, {29, 29, "😇"}, {28, 22, "😈"}, {38, 20, "👍👍"},
    {28, 20, "🙏"}, {30, 24, "🤗"}, {19, 23, "🍺"}, {24, 24, "😱"}, {24, 26, "👻"},
};

// Near-white, so that the pictures also look right in the picker, which draws them as stored.
const QRgb kKey = qRgb(254, 254, 254);

// The emoji text drawn large on transparency and cropped to its ink.
QImage renderLarge(const QFont &font, const QString &text)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text) + 16, metrics.height() + 16,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(8, 8 + metrics.ascent(), text);
    painter.end();
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 8) {
                left = qMin(left, x); right = qMax(right, x);
                top = qMin(top, y); bottom = qMax(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    return image.copy(left, top, right - left + 1, bottom - top + 1);
}

// `art` scaled to fit inside `size` less a margin, centred, laid over `background`. A drawn
// pixel that comes out exactly in the background colour is moved off it, so that only the
// background turns transparent.
QImage compose(const QImage &art, QSize size, QColor background, int margin)
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(background);
    const QImage scaled = art.scaled(size - QSize(2 * margin, 2 * margin), Qt::KeepAspectRatio,
                                     Qt::SmoothTransformation);
    const QPoint at((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2);
    QPainter painter(&out);
    painter.drawImage(at, scaled);
    painter.end();
    const QRgb key = background.rgb();
    const QRgb nudged = qRgb(qRed(key) ^ 1, qGreen(key), qBlue(key));
    for (int y = 0; y < scaled.height(); ++y) {
        for (int x = 0; x < scaled.width(); ++x) {
            if (qAlpha(scaled.pixel(x, y)) > 0 && out.pixel(at.x() + x, at.y() + y) == key)
                out.setPixel(at.x() + x, at.y() + y, nudged);
        }
    }
    return out;
}

bool save24(const QImage &image, const QString &path)
{
    return image.convertToFormat(QImage::Format_RGB888).save(path, "BMP");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-pictures OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(109); // the font's own bitmap size
    if (!QFontDatabase::families().contains(QStringLiteral("Noto Color Emoji"))) {
        std::fprintf(stderr, "Noto Color Emoji is not installed (apt-get install fonts-noto-color-emoji)\n");
        return 1;
    }

    for (int n = 1; n <= 40; ++n) {
        const Smiley &s = kSmileys[n - 1];
        const QImage art = renderLarge(font, QString::fromUtf8(s.text));
        const QImage picture = compose(art, QSize(s.width, s.height), QColor::fromRgb(kKey), 1);
        if (!save24(picture, out.filePath(QStringLiteral("BITMAP_%1.bmp").arg(n))))
            return 1;
    }

    // Status pictures: free, busy, away; white is their transparent colour.
    const char *statusArt[3] = {"🟢", "⛔", "🌙"};
    const QSize statusSize[3] = {{15, 13}, {15, 13}, {15, 14}};
    for (int i = 0; i < 3; ++i) {
        const QImage art = renderLarge(font, QString::fromUtf8(statusArt[i]));
        if (!save24(compose(art, statusSize[i], Qt::white, 1),
                    out.filePath(QStringLiteral("STATUS_%1.bmp").arg(i + 1))))
            return 1;
    }

    // Tray icons: a speech bubble with a dot in the status colour (lime, aqua, maroon).
    const QImage bubble = renderLarge(font, QString::fromUtf8("💬"));
    const QColor dots[3] = {QColor(0, 255, 0), QColor(0, 255, 255), QColor(128, 0, 0)};
    for (int i = 0; i < 3; ++i) {
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawImage(QRect(0, 0, 14, 14), bubble.scaled(14, 14, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(dots[i]);
        painter.drawEllipse(QRectF(8.5, 8.5, 7, 7));
        painter.end();
        if (!icon.save(out.filePath(QStringLiteral("ICON_%1.png").arg(i + 1)), "PNG"))
            return 1;
    }
    return 0;
}
