// Pictures: every form a file can carry them in, the smileys and status pictures in the
// resources, and the picture rich text the editor inserts.
#include "rtftesthelpers.h"

#include "platform/rtf/pictureresources.h"
#include "platform/rtf/rtfdocument.h"
#include "platform/rtf/smileypictures.h"
#include "platform/rtf/statuspictures.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QtEndian>

using namespace rtftest;

namespace {

// The 4 x 3 pattern of make-picture-fixtures.py.
QImage fixturePattern(bool inverted = false)
{
    QImage image(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int r = x * 60, g = y * 100, b = 250 - x * 50;
            image.setPixel(x, y, inverted ? qRgb(255 - r, 255 - g, 255 - b) : qRgb(r, g, b));
        }
    }
    return image;
}

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRtfPictures : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initPictureResources(); }
    void pictureForms_data();
    void pictureForms();
    void jpeg();
    void smileys_data();
    void smileys();
    void pictureRtfOfPicture1();
    void byteBelowSixteenHasTwoDigits();
    void backgroundReplacement();
    void insertIntoEmptyEditor();
    void statusPictures_data();
    void statusPictures();
};

void TestRtfPictures::pictureForms_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSizeF>("shown");
    QTest::addColumn<bool>("placeholder");
    const QSizeF goal(40, 30); // \picwgoal600 \pichgoal450
    QTest::newRow("wmf stretchdib") << "pict_wmf_stretchdib.rtf" << goal << false;
    QTest::newRow("wmf dibstretchblt scaled") << "pict_wmf_dibstretchblt.rtf" << QSizeF(20, 60) << false;
    QTest::newRow("wmf dibbitblt 8-bit placeable") << "pict_wmf_dibbitblt.rtf" << goal << false;
    QTest::newRow("dibitmap") << "pict_dibitmap.rtf" << goal << false;
    QTest::newRow("wbitmap") << "pict_wbitmap.rtf" << goal << false;
    QTest::newRow("shppict png over fallback") << "pict_shppict_png.rtf" << goal << false;
    QTest::newRow("bin data") << "pict_bin.rtf" << goal << false;
    QTest::newRow("object result") << "pict_object.rtf" << goal << false;
    QTest::newRow("emf placeholder") << "pict_emf.rtf" << QSizeF(60, 20) << true;
}

void TestRtfPictures::pictureForms()
{
    QFETCH(QString, file);
    QFETCH(QSizeF, shown);
    QFETCH(bool, placeholder);
    const auto document = read(fixture(file));
    QCOMPARE(document->toRawText(), QStringLiteral("a") + QChar(QChar::ObjectReplacementCharacter) + QStringLiteral("b"));
    const QList<Picture> found = pictures(*document);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].size, shown);
    if (placeholder)
        QVERIFY(!samePixels(found[0].image, fixturePattern()) && !found[0].image.isNull());
    else
        QVERIFY(samePixels(found[0].image, fixturePattern()));
}

void TestRtfPictures::jpeg()
{
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "JPEG", 95));
    const auto document = read("{\\rtf1{\\pict\\jpegblip\\picw16\\pich8\\picscalex200\\picscaley50 "
                               + jpeg.toHex() + "}}");
    const QList<Picture> found = pictures(*document);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].image.size(), QSize(16, 8));
    QCOMPARE(found[0].size, QSizeF(32, 4)); // natural size times the scale
    const QColor centre = found[0].image.pixelColor(8, 4);
    QVERIFY(qAbs(centre.red() - 200) < 8 && qAbs(centre.green() - 40) < 8);
}

void TestRtfPictures::smileys_data()
{
    QTest::addColumn<int>("n");
    for (int n = 1; n <= SmileyPictures::kCount; ++n)
        QTest::newRow(qPrintable(QStringLiteral("BITMAP_%1").arg(n))) << n;
}

void TestRtfPictures::smileys()
{
    QFETCH(int, n);
    const QImage picture = SmileyPictures::bitmap(n);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), SmileyPictures::size(n));
    // Stored as a 24-bit uncompressed bitmap.
    const QByteArray file = resourceBytes(SmileyPictures::resourcePath(n));
    QVERIFY(file.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 28), quint16(24));
    QCOMPARE(qFromLittleEndian<quint32>(file.constData() + 30), quint32(0));
    // A plain background: the corners share the top-left colour, and the face has other colours.
    const QRgb key = picture.pixel(0, 0);
    QCOMPARE(picture.pixel(picture.width() - 1, 0), key);
    QCOMPARE(picture.pixel(0, picture.height() - 1), key);
    QCOMPARE(picture.pixel(picture.width() - 1, picture.height() - 1), key);
    int drawn = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            drawn += picture.pixel(x, y) != key;
    QVERIFY(drawn > picture.width() * picture.height() / 4);
}

void TestRtfPictures::pictureRtfOfPicture1()
{
    const QByteArray rtf = SmileyPictures::pictureRtf(1, QColor(192, 192, 192));
    QVERIFY(rtf.startsWith("{\\rtf1 {\\pict\\dibitmap "));
    QVERIFY(rtf.endsWith(" }}"));
    const QByteArray hex = rtf.mid(23, rtf.size() - 23 - 3);
    QCOMPARE(hex.size(), 2480);
    QVERIFY(hex.startsWith("28000000140000001400000001001800"));
    for (const char c : hex)
        QVERIFY((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    // The rows are the picture's, bottom row first, on the silver background.
    const QByteArray dib = QByteArray::fromHex(hex);
    const QImage expected = SmileyPictures::withBackground(SmileyPictures::bitmap(1), QColor(192, 192, 192));
    for (int x = 0; x < 20; ++x) {
        const QRgb p = expected.pixel(x, 19);
        QCOMPARE(quint8(dib[40 + 3 * x]), quint8(qBlue(p)));
        QCOMPARE(quint8(dib[40 + 3 * x + 1]), quint8(qGreen(p)));
        QCOMPARE(quint8(dib[40 + 3 * x + 2]), quint8(qRed(p)));
    }
    QCOMPARE(quint8(dib[40]), quint8(192)); // the corner took the background colour
    QVERIFY(SmileyPictures::pictureRtf(0, Qt::white).isEmpty());
    QVERIFY(SmileyPictures::pictureRtf(41, Qt::white).isEmpty());
}

void TestRtfPictures::byteBelowSixteenHasTwoDigits()
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0x0A, 0x01, 0x00));
    const QByteArray rtf = RtfDocument::pictureRtf(image);
    // Header, then blue 00, green 01, red 0A and one byte of row padding.
    QVERIFY(rtf.endsWith("04000000" "00000000000000000000000000000000" "00010A00 }}"));
    QCOMPARE(rtf.size(), 23 + 2 * 44 + 3);
    // A 3-pixel row pads to 12 bytes.
    QCOMPARE(RtfDocument::pictureRtf(QImage(3, 2, QImage::Format_RGB32)).size(), 23 + 2 * (40 + 2 * 12) + 3);
}

void TestRtfPictures::backgroundReplacement()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(1, 0, qRgb(10, 20, 31)); // one step off the key: kept
    image.setPixel(2, 1, qRgb(200, 0, 0));
    const QImage out = SmileyPictures::withBackground(image, QColor(192, 192, 192));
    QCOMPARE(out.pixel(0, 0), qRgb(192, 192, 192));
    QCOMPARE(out.pixel(0, 1), qRgb(192, 192, 192));
    QCOMPARE(out.pixel(2, 0), qRgb(192, 192, 192));
    QCOMPARE(out.pixel(1, 0), qRgb(10, 20, 31));
    QCOMPARE(out.pixel(2, 1), qRgb(200, 0, 0));
}

void TestRtfPictures::insertIntoEmptyEditor()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QVERIFY(SmileyPictures::insert(cursor, 18, Qt::white));
    const QList<Picture> found = pictures(document);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].image.size(), QSize(51, 35));
    QCOMPARE(found[0].size, QSizeF(51, 35));
    QVERIFY(samePixels(found[0].image, SmileyPictures::withBackground(SmileyPictures::bitmap(18), Qt::white)));
    QCOMPARE(cursor.position(), 1);
}

void TestRtfPictures::statusPictures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QSize>("size");
    QTest::newRow("free") << 0 << QSize(15, 13);
    QTest::newRow("busy") << 1 << QSize(15, 13);
    QTest::newRow("away") << 2 << QSize(15, 14);
}

void TestRtfPictures::statusPictures()
{
    QFETCH(int, status);
    QFETCH(QSize, size);
    const QImage picture = StatusPictures::picture(status);
    QCOMPARE(picture.size(), size);
    QCOMPARE(picture.pixel(0, 0), qRgb(255, 255, 255));
    const QImage clear = StatusPictures::transparentPicture(status);
    QCOMPARE(qAlpha(clear.pixel(0, 0)), 0);
    int opaque = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            opaque += qAlpha(clear.pixel(x, y)) == 255;
    QVERIFY(opaque > size.width() * size.height() / 5);
    QVERIFY(opaque < size.width() * size.height());
    const QImage tray = StatusPictures::trayImage(status);
    QCOMPARE(tray.size(), QSize(16, 16));
    QVERIFY(tray.hasAlphaChannel());
    QVERIFY(!StatusPictures::trayIcon(status).isNull());
    QVERIFY(StatusPictures::picture(3).isNull());
    QVERIFY(StatusPictures::trayImage(-1).isNull());
}

QTEST_MAIN(TestRtfPictures)
#include "tst_rtfpictures.moc"
