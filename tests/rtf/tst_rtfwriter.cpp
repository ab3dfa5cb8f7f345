// The writer: everything it writes reads back the same, in the bytes Windows editors expect.
#include "rtftesthelpers.h"

#include "platform/rtf/dib.h"
#include "platform/rtf/rtfwriter.h"
#include "platform/rtf/windowsmetafile.h"

#include <QTextCursor>
#include <QTextList>
#include <QtEndian>

#include <functional>

using namespace rtftest;

namespace {

using Builder = std::function<void(QTextDocument &)>;

QTextCharFormat charFormat(const QString &family, double points, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setFontFamilies({family});
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(italic);
    return format;
}

QImage testImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x + y) * 5 % 256));
    return image;
}

void insertImage(QTextCursor &cursor, const QImage &image, const QString &name, QSizeF size = {})
{
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    if (size.isValid()) {
        format.setWidth(size.width());
        format.setHeight(size.height());
    }
    cursor.insertImage(format);
}

// Compares what RTF carries: text, and per character the font, size, styles, colours and link;
// per block the alignment and indents; per picture the pixels and the shown size.
void compareDocuments(const QTextDocument &expected, const QTextDocument &actual)
{
    QCOMPARE(actual.toRawText(), expected.toRawText());
    QCOMPARE(actual.blockCount(), expected.blockCount());
    const QFont base = expected.defaultFont();
    for (int b = 0; b < expected.blockCount(); ++b) {
        const QTextBlockFormat e = expected.findBlockByNumber(b).blockFormat();
        const QTextBlockFormat a = actual.findBlockByNumber(b).blockFormat();
        QCOMPARE(a.alignment() & Qt::AlignHorizontal_Mask, e.alignment() & Qt::AlignHorizontal_Mask);
        QCOMPARE(a.leftMargin(), e.leftMargin());
        QCOMPARE(a.rightMargin(), e.rightMargin());
        QCOMPARE(a.textIndent(), e.textIndent());
    }
    QTextCursor ec(const_cast<QTextDocument *>(&expected));
    QTextCursor ac(const_cast<QTextDocument *>(&actual));
    for (int pos = 1; pos < expected.characterCount(); ++pos) {
        ec.setPosition(pos);
        ac.setPosition(pos);
        if (expected.characterAt(pos - 1) == QChar::ParagraphSeparator)
            continue;
        const QTextCharFormat e = ec.charFormat();
        const QTextCharFormat a = ac.charFormat();
        const QString where = QStringLiteral("at %1").arg(pos - 1);
        const QString family = e.fontFamilies().toStringList().value(0, base.family());
        QVERIFY2(a.fontFamilies().toStringList().value(0) == family, qPrintable(where));
        QVERIFY2(a.fontPointSize() == (e.hasProperty(QTextFormat::FontPointSize) ? e.fontPointSize() : base.pointSizeF()), qPrintable(where));
        QVERIFY2((a.fontWeight() >= QFont::Bold) == (e.fontWeight() >= QFont::Bold), qPrintable(where));
        QVERIFY2(a.fontItalic() == e.fontItalic(), qPrintable(where));
        QVERIFY2(a.fontUnderline() == e.fontUnderline(), qPrintable(where));
        QVERIFY2(a.fontStrikeOut() == e.fontStrikeOut(), qPrintable(where));
        QVERIFY2(a.foreground().color() == e.foreground().color(), qPrintable(where));
        QVERIFY2(a.hasProperty(QTextFormat::BackgroundBrush) == e.hasProperty(QTextFormat::BackgroundBrush), qPrintable(where));
        QVERIFY2(a.background().color() == e.background().color(), qPrintable(where));
        QVERIFY2(a.anchorHref() == e.anchorHref(), qPrintable(where));
    }
    const QList<Picture> e = pictures(expected);
    const QList<Picture> a = pictures(actual);
    QCOMPARE(a.size(), e.size());
    for (qsizetype i = 0; i < e.size(); ++i) {
        QVERIFY(samePixels(a[i].image, e[i].image));
        const QSizeF shown = e[i].size.width() > 0 ? e[i].size : QSizeF(e[i].image.size());
        QCOMPARE(a[i].size, shown);
    }
}

} // namespace

Q_DECLARE_METATYPE(Builder)

class TestRtfWriter : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void cyrillicAsWindows1251();
    void pictureWrittenTwice();
    void metafileAloneReadsBack();
    void writtenTwiceIsStable();
};

void TestRtfWriter::roundTrip_data()
{
    QTest::addColumn<Builder>("build");
    QTest::newRow("cyrillic plain") << Builder([](QTextDocument &d) {
        QTextCursor(&d).insertText(QStringLiteral("Привет, как дела? Ёжик «ёлка» №5 — €"), charFormat("Arial", 11, true));
    });
    QTest::newRow("styles and sizes") << Builder([](QTextDocument &d) {
        QTextCursor c(&d);
        c.insertText("plain ", charFormat("Arial", 10));
        c.insertText("bold ", charFormat("Arial", 10, true));
        c.insertText("italic ", charFormat("Times New Roman", 14, false, true));
        QTextCharFormat u = charFormat("Courier New", 8);
        u.setFontUnderline(true);
        c.insertText("under ", u);
        u.setFontUnderline(false);
        u.setFontStrikeOut(true);
        c.insertText("strike ", u);
        c.insertText("half", charFormat("Verdana", 10.5, true, true));
    });
    QTest::newRow("colours") << Builder([](QTextDocument &d) {
        QTextCursor c(&d);
        QTextCharFormat f = charFormat("Arial", 12);
        f.setForeground(QColor(255, 0, 0));
        c.insertText("red ", f);
        f.setForeground(QColor(0, 0, 255));
        f.setBackground(QColor(255, 255, 0));
        c.insertText("blue on yellow ", f);
        f.setForeground(QColor(255, 0, 0));
        f.clearBackground();
        c.insertText("red again", f);
    });
    QTest::newRow("paragraphs") << Builder([](QTextDocument &d) {
        QTextCursor c(&d);
        const QTextCharFormat f = charFormat("Arial", 12);
        c.insertText("left", f);
        QTextBlockFormat b;
        b.setAlignment(Qt::AlignHCenter);
        c.insertBlock(b);
        c.insertText("centre", f);
        b.setAlignment(Qt::AlignRight);
        c.insertBlock(b);
        c.insertText("right", f);
        b.setAlignment(Qt::AlignJustify);
        b.setLeftMargin(48);
        b.setRightMargin(12);
        b.setTextIndent(-24);
        c.insertBlock(b);
        c.insertText("justified and indented", f);
        c.insertBlock(QTextBlockFormat());
        c.insertBlock(QTextBlockFormat());
        c.insertText("after two empty", f);
    });
    QTest::newRow("beyond windows-1251") << Builder([](QTextDocument &d) {
        QTextCursor(&d).insertText(QStringLiteral("日本語 ĀŽ ε 😀 ½ \\ {braces} tab\there\u2028line"),
                                   charFormat("Arial", 12));
    });
    QTest::newRow("special spaces") << Builder([](QTextDocument &d) {
        QTextCursor(&d).insertText(QStringLiteral("a\u00A0b\u00ADc\u2011d"), charFormat("Arial", 12));
    });
    QTest::newRow("link") << Builder([](QTextDocument &d) {
        QTextCursor c(&d);
        c.insertText("see ", charFormat("Arial", 12));
        QTextCharFormat link = charFormat("Arial", 12);
        link.setAnchor(true);
        link.setAnchorHref("http://example.org/a?b=c&d=e#f");
        link.setFontUnderline(true);
        c.insertText("here", link);
        c.insertText(" now", charFormat("Arial", 12));
    });
    QTest::newRow("pictures") << Builder([](QTextDocument &d) {
        QTextCursor c(&d);
        c.insertText("a", charFormat("Arial", 12));
        insertImage(c, testImage(20, 20), "one");
        c.insertText("b", charFormat("Arial", 12));
        insertImage(c, testImage(33, 19), "two", QSizeF(66, 38));
        insertImage(c, testImage(33, 19), "two");
        c.insertBlock();
        insertImage(c, testImage(1, 1), "three");
    });
    QTest::newRow("empty") << Builder([](QTextDocument &) {});
}

void TestRtfWriter::roundTrip()
{
    QFETCH(Builder, build);
    QTextDocument original;
    original.setDefaultFont(QFont("Tahoma", 9));
    build(original);
    const QByteArray rtf = RtfWriter::write(original);
    QVERIFY(RtfReader::isRtf(rtf));
    for (const char c : rtf)
        QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF output is 7-bit");
    const auto copy = read(rtf);
    compareDocuments(original, *copy);
}

void TestRtfWriter::cyrillicAsWindows1251()
{
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("Привет Ж"), charFormat("Arial", 11));
    const QByteArray rtf = RtfWriter::write(document);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QVERIFY(rtf.contains("\\fcharset204 Arial;"));
    QVERIFY(rtf.contains("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'c6"));
    QVERIFY(!QString::fromLatin1(rtf).contains(QRegularExpression("\\\\u-?[0-9]")));
}

void TestRtfWriter::pictureWrittenTwice()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    const QImage image = testImage(5, 3);
    insertImage(cursor, image, "pic", QSizeF(10, 6));
    const QByteArray rtf = RtfWriter::write(document);
    const qsizetype png = rtf.indexOf("{\\*\\shppict{\\pict");
    const qsizetype wmf = rtf.indexOf("{\\nonshppict{\\pict");
    QVERIFY(png >= 0 && wmf > png);
    QVERIFY(rtf.indexOf("\\pngblip", png) < wmf);
    QVERIFY(rtf.mid(png, wmf - png).contains("\\picwgoal150\\pichgoal90"));
    QVERIFY(rtf.mid(wmf).contains("\\picwgoal150\\pichgoal90\\wmetafile8"));

    // The fallback holds a metafile whose only bitmap record is META_STRETCHDIB of a 24-bit DIB.
    const qsizetype start = rtf.indexOf("\\wmetafile8", wmf) + int(strlen("\\wmetafile8"));
    const QByteArray metafile = QByteArray::fromHex(rtf.mid(start, rtf.indexOf('}', start) - start));
    const QByteArray dib = WindowsMetafile::firstBitmap(metafile);
    QVERIFY(!dib.isEmpty());
    QCOMPARE(qFromLittleEndian<quint16>(dib.constData() + 14), quint16(24));
    QVERIFY(samePixels(Dib::decode(dib), image));
    const qsizetype record = metafile.size() - 6 - dib.size() - 28 + 4;
    QCOMPARE(qFromLittleEndian<quint16>(metafile.constData() + record), quint16(0x0F43));
}

void TestRtfWriter::metafileAloneReadsBack()
{
    // What a reader that ignores \shppict (a Windows rich-text editor) sees.
    QTextDocument document;
    QTextCursor cursor(&document);
    const QImage image = testImage(7, 4);
    insertImage(cursor, image, "pic", QSizeF(14, 8));
    QByteArray rtf = RtfWriter::write(document);
    const qsizetype png = rtf.indexOf("{\\*\\shppict");
    const qsizetype wmf = rtf.indexOf("{\\nonshppict");
    rtf.remove(png, wmf - png);
    rtf.replace("{\\nonshppict", "{");
    const auto copy = read(rtf);
    const QList<Picture> found = pictures(*copy);
    QCOMPARE(found.size(), 1);
    QVERIFY(samePixels(found[0].image, image));
    QCOMPARE(found[0].size, QSizeF(14, 8));
}

void TestRtfWriter::writtenTwiceIsStable()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Текст "), charFormat("Arial", 11, true));
    insertImage(cursor, testImage(20, 20), "pic");
    const QByteArray first = RtfWriter::write(document);
    const QByteArray second = RtfWriter::write(*read(first));
    QCOMPARE(second, first);
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
