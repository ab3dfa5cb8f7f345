// The reader against hand-written files of the kinds Windows editors and word processors write,
// the encoding rules row by row, and hostile input.
#include "rtftesthelpers.h"

#include "platform/rtf/rtftokenizer.h"

#include <QRandomGenerator>

using namespace rtftest;

namespace {

const QChar kPara(QChar::ParagraphSeparator);
const QChar kImage(QChar::ObjectReplacementCharacter);

QString raw(const char16_t *text)
{
    QString s = QString::fromUtf16(text);
    s.replace(QChar(u'¶'), kPara);
    return s;
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT
private slots:
    void tokenizer_data();
    void tokenizer();
    void fixtureText_data();
    void fixtureText();
    void fixtureFormats_data();
    void fixtureFormats();
    void paragraphFormats();
    void hyperlink();
    void encodingRules_data();
    void encodingRules();
    void strayLeadByteDoesNotSpread();
    void notRtf();
    void insertsAtCursor();
    void hostile_data();
    void hostile();
    void hugeHexPicture();
    void truncatedFiles_data();
    void truncatedFiles();
    void randomBytes();
};

// Tokens written as: { } W:name[:param] S:symbol H:hex T:text B:binary
static QString describe(QByteArrayView data)
{
    RtfTokenizer tokenizer(data);
    QStringList out;
    for (;;) {
        const RtfTokenizer::Token t = tokenizer.next();
        switch (t.type) {
        case RtfTokenizer::Type::End: return out.join(QLatin1Char(' '));
        case RtfTokenizer::Type::GroupStart: out << QStringLiteral("{"); break;
        case RtfTokenizer::Type::GroupEnd: out << QStringLiteral("}"); break;
        case RtfTokenizer::Type::Word:
            out << QStringLiteral("W:") + (t.overlong ? QStringLiteral("<long>") : QString::fromLatin1(t.text))
                    + (t.hasParam ? QStringLiteral(":%1").arg(t.param) : QString());
            break;
        case RtfTokenizer::Type::Symbol: out << QStringLiteral("S:%1").arg(int(t.symbol)); break;
        case RtfTokenizer::Type::Hex: out << QStringLiteral("H:%1").arg(t.byte, 2, 16, QLatin1Char('0')); break;
        case RtfTokenizer::Type::Text: out << QStringLiteral("T:") + QString::fromLatin1(t.text); break;
        case RtfTokenizer::Type::Binary: out << QStringLiteral("B:") + QString::fromLatin1(t.text.toByteArray().toHex()); break;
        }
    }
}

void TestRtfReader::tokenizer_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("tokens");
    QTest::newRow("word and blank") << QByteArray("{\\b hi}") << "{ W:b T:hi }";
    QTest::newRow("parameters") << QByteArray("\\fs24\\li-360 x") << "W:fs:24 W:li:-360 T:x";
    QTest::newRow("minus without digits") << QByteArray("\\ul-x") << "W:ul T:-x";
    QTest::newRow("saturated") << QByteArray("\\u99999999999 \\u-99999999999") << "W:u:2147483647 W:u:-2147483647";
    QTest::newRow("hex") << QByteArray("\\'cF\\'0a") << "H:cf H:0a";
    QTest::newRow("broken hex") << QByteArray("\\'z1") << "S:0 T:z1";
    QTest::newRow("symbols") << QByteArray("\\{\\}\\\\\\~\\*") << "S:123 S:125 S:92 S:126 S:42";
    QTest::newRow("par by line break") << QByteArray("\\\r\\\n") << "S:10 S:10";
    QTest::newRow("32 letters") << QByteArray("\\abcdefghijklmnopqrstuvwxyzabcdef1")
                                << "W:abcdefghijklmnopqrstuvwxyzabcdef:1";
    QTest::newRow("33 letters") << QByteArray("\\abcdefghijklmnopqrstuvwxyzabcdefg1") << "W:<long>:1";
    QTest::newRow("bin") << QByteArray("\\bin3 {}\\x") << "B:7b7d5c T:x";
    QTest::newRow("bin past end") << QByteArray("\\bin9 ab") << "B:6162";
    QTest::newRow("bin negative") << QByteArray("\\bin-1 ab") << "B: T:ab";
    QTest::newRow("lone backslash") << QByteArray("a\\") << "T:a";
}

void TestRtfReader::tokenizer()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, tokens);
    QCOMPARE(describe(rtf), tokens);
}

void TestRtfReader::fixtureText_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("richedit cyrillic") << "richedit_cyrillic.rtf"
        << raw(u"Привет, мир!¶Центр¶справа¶list\titem\u2028next");
    QTest::newRow("word processor unicode") << "word_unicode.rtf"
        << raw(u"Café при 日本 done¶あい 你 Šš Ж¶😀 emoji — – ‘q’ “dq” •¶"
               u"a\u00A0b\u00ADc\u2011d {x} \\ end¶link text after¶1.\titem");
    QTest::newRow("nested groups") << "nested_groups.rtf"
        << raw(u"startboldbolditalicredbluebignormalarialplain¶centeredleftstill");
}

void TestRtfReader::fixtureText()
{
    QFETCH(QString, file);
    QFETCH(QString, text);
    const auto document = read(fixture(file));
    QCOMPARE(document->toRawText(), text);
}

void TestRtfReader::fixtureFormats_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strike");
    QTest::addColumn<QColor>("color");      // invalid: automatic
    QTest::addColumn<QColor>("highlight");  // invalid: none

    const QColor none;
    QTest::newRow("cyr bold black") << "richedit_cyrillic.rtf" << "Привет" << "Arial" << 11.0
        << true << false << false << false << QColor(0, 0, 0) << none;
    QTest::newRow("cyr red italic") << "richedit_cyrillic.rtf" << "мир" << "Times New Roman CYR"
        << 14.0 << false << true << false << false << QColor(255, 0, 0) << none;
    QTest::newRow("cyr underline") << "richedit_cyrillic.rtf" << "Центр" << "Arial" << 11.0
        << false << false << true << false << QColor(0, 0, 0) << none;
    QTest::newRow("cyr strike") << "richedit_cyrillic.rtf" << "справа" << "Arial" << 11.0
        << false << false << false << true << QColor(0, 0, 0) << none;
    QTest::newRow("cyr highlight") << "richedit_cyrillic.rtf" << "list" << "Arial" << 11.0
        << false << false << false << false << QColor(0, 0, 0) << QColor(0, 128, 0);
    QTest::newRow("deff before any font") << "nested_groups.rtf" << "start" << "Times New Roman"
        << 12.0 << false << false << false << false << none << none;
    QTest::newRow("group bold") << "nested_groups.rtf" << "boldb" << "Times New Roman" << 12.0
        << true << false << false << false << none << none;
    QTest::newRow("nested colour") << "nested_groups.rtf" << "red" << "Times New Roman" << 12.0
        << true << true << false << false << QColor(255, 0, 0) << none;
    QTest::newRow("colour after group") << "nested_groups.rtf" << "blue" << "Times New Roman"
        << 12.0 << true << true << false << false << QColor(0, 0, 255) << none;
    QTest::newRow("size in outer group") << "nested_groups.rtf" << "big" << "Times New Roman"
        << 20.0 << true << false << false << false << none << none;
    QTest::newRow("restored") << "nested_groups.rtf" << "normal" << "Times New Roman" << 12.0
        << false << false << false << false << none << none;
    QTest::newRow("other font") << "nested_groups.rtf" << "arial" << "Arial" << 12.0
        << false << false << false << false << none << none;
    QTest::newRow("plain resets") << "nested_groups.rtf" << "plain" << "Times New Roman" << 12.0
        << false << false << false << false << none << none;
    QTest::newRow("word latin") << "word_unicode.rtf" << "Café" << "Times New Roman" << 12.0
        << false << false << false << false << none << none;
    QTest::newRow("word link") << "word_unicode.rtf" << "link" << "Times New Roman" << 12.0
        << false << false << true << false << QColor(0, 0, 255) << none;
}

void TestRtfReader::fixtureFormats()
{
    QFETCH(QString, file);
    QFETCH(QString, word);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(bool, strike);
    QFETCH(QColor, color);
    QFETCH(QColor, highlight);
    const auto document = read(fixture(file));
    const QTextCharFormat format = formatAt(*document, word);
    QVERIFY2(format.isValid(), qPrintable(word));
    QCOMPARE(format.fontFamilies().toStringList().value(0), family);
    QCOMPARE(format.fontPointSize(), points);
    QCOMPARE(format.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(format.fontItalic(), italic);
    QCOMPARE(format.fontUnderline(), underline);
    QCOMPARE(format.fontStrikeOut(), strike);
    QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), color.isValid());
    if (color.isValid())
        QCOMPARE(format.foreground().color(), color);
    QCOMPARE(format.hasProperty(QTextFormat::BackgroundBrush), highlight.isValid());
    if (highlight.isValid())
        QCOMPARE(format.background().color(), highlight);
}

void TestRtfReader::paragraphFormats()
{
    const auto cyr = read(fixture("richedit_cyrillic.rtf"));
    QCOMPARE(cyr->blockCount(), 4);
    QCOMPARE(cyr->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(cyr->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(cyr->findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    const QTextBlockFormat indented = cyr->findBlockByNumber(3).blockFormat();
    QCOMPARE(indented.leftMargin(), 48.0);  // 720 twips
    QCOMPARE(indented.rightMargin(), 24.0); // 360 twips
    QCOMPARE(indented.textIndent(), -24.0);
    // \pard inside a group that ends before \par leaves the paragraph centred.
    const auto nested = read(fixture("nested_groups.rtf"));
    QCOMPARE(nested->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestRtfReader::hyperlink()
{
    const auto document = read(fixture("word_unicode.rtf"));
    const QTextCharFormat link = formatAt(*document, "link text");
    QVERIFY(link.isAnchor());
    QCOMPARE(link.anchorHref(), QStringLiteral("http://example.org/page"));
    QVERIFY(!formatAt(*document, "after").isAnchor());
}

void TestRtfReader::encodingRules_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("uc0 skips nothing") << QByteArray("{\\rtf1\\uc0\\u1087 x}") << raw(u"пx");
    QTest::newRow("uc1 default") << QByteArray("{\\rtf1\\u1087?x}") << raw(u"пx");
    QTest::newRow("uc2 hex pair") << QByteArray("{\\rtf1\\uc2\\u1087\\'e0\\'e1x}") << raw(u"пx");
    QTest::newRow("uc restored by group") << QByteArray("{\\rtf1{\\uc3\\u1087 abc}\\u1088 de}") << raw(u"пр") + QStringLiteral("e");
    QTest::newRow("skip stops at group") << QByteArray("{\\rtf1\\uc5\\u1087{}ab}") << raw(u"пab");
    QTest::newRow("bin is one char") << QByteArray("{\\rtf1\\u1087\\bin2 xyZ}") << raw(u"пZ");
    QTest::newRow("word is one char") << QByteArray("{\\rtf1\\u1087\\endash Z}") << raw(u"пZ");
    QTest::newRow("line breaks not counted") << QByteArray("{\\rtf1\\uc2\\u1087\r\nab c}") << raw(u"п c");
    QTest::newRow("negative u") << QByteArray("{\\rtf1\\u-4064?}") << raw(u"\uF020");
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10179?\\u-8704?}") << raw(u"😀");
    QTest::newRow("ansicpg when font has none") << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0\\'c0}") << raw(u"А");
    QTest::newRow("1252 without ansicpg") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\'e9}") << raw(u"é");
    QTest::newRow("font charset wins") << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 A;}}\\f0\\'c0}") << raw(u"А");
    QTest::newRow("table charset not current") << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 C;}}\\'e9}") << raw(u"é");
    QTest::newRow("cpg overrides charset") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg1251 X;}}\\f0\\'c0}") << raw(u"А");
    QTest::newRow("charset 1 is document's") << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 X;}}\\f0\\'c0}") << raw(u"А");
    QTest::newRow("greek charset") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset161 G;}}\\f0\\'e1}") << raw(u"α");
    QTest::newRow("big5 pair") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset136 M;}}\\f0\\'a4\\'a4}") << raw(u"中");
    QTest::newRow("raw 8-bit text") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8}") << raw(u"При");
    QTest::newRow("unknown code page") << QByteArray("{\\rtf1\\ansi\\ansicpg99999\\'e9 ok}") << raw(u"é ok");
    QTest::newRow("trailing par dropped") << QByteArray("{\\rtf1 a\\par}") << raw(u"a");
    QTest::newRow("empty last paragraph") << QByteArray("{\\rtf1 a\\par\\par}") << raw(u"a¶");
    QTest::newRow("control symbols") << QByteArray("{\\rtf1 a\\{b\\}c\\\\d\\~e}") << raw(u"a{b}c\\d\u00A0e");
    QTest::newRow("nonshppict skipped") << QByteArray("{\\rtf1 a{\\nonshppict b}c}") << raw(u"ac");
    QTest::newRow("field result") << QByteArray("{\\rtf1{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}}") << raw(u"7");
    QTest::newRow("header skipped") << QByteArray("{\\rtf1{\\header h}x}") << raw(u"x");
    QTest::newRow("unknown ignorable") << QByteArray("{\\rtf1{\\*\\foo bar{baz}}x}") << raw(u"x");
    QTest::newRow("object shows result only") << QByteArray("{\\rtf1{\\object{\\*\\objdata 0102}junk{\\result r}}x}") << raw(u"rx");
    QTest::newRow("list text kept") << QByteArray("{\\rtf1{\\pntext\\f0 1.\\tab}x}") << raw(u"1.\tx");
    QTest::newRow("text after end ignored") << QByteArray("{\\rtf1 a}b") << raw(u"a");
    QTest::newRow("extra close brace") << QByteArray("{\\rtf1 a}}c") << raw(u"a");
    QTest::newRow("par symbol") << QByteArray("{\\rtf1 a\\\nb}") << raw(u"a¶b");
}

void TestRtfReader::encodingRules()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(read(rtf)->toRawText(), text);
}

void TestRtfReader::strayLeadByteDoesNotSpread()
{
    // A lone Shift-JIS lead byte: one broken character at most, the rest intact.
    const QString text = read("{\\rtf1\\ansi\\ansicpg932\\'82 ok\\par fine \\'82\\'a0}")->toRawText();
    QVERIFY2(text.endsWith(raw(u" ok¶fine あ")), qPrintable(text));
    QVERIFY(text.size() <= raw(u"x ok¶fine あ").size());
}

void TestRtfReader::notRtf()
{
    QTextDocument document;
    document.setPlainText("keep");
    QTextCursor cursor(&document);
    QVERIFY(!RtfReader::read("plain text {\\rtf1 x}", cursor));
    QVERIFY(!RtfReader::read("", cursor));
    QCOMPARE(document.toPlainText(), QStringLiteral("keep"));
    QVERIFY(RtfReader::isRtf(" \r\n{\\rtf1}"));
}

void TestRtfReader::insertsAtCursor()
{
    QTextDocument document;
    document.setPlainText("abcd");
    QTextCursor cursor(&document);
    cursor.setPosition(2);
    QVERIFY(RtfReader::read("{\\rtf1{\\b X}Y}", cursor));
    QCOMPARE(document.toPlainText(), QStringLiteral("abXYcd"));
    QCOMPARE(cursor.position(), 4);
}

void TestRtfReader::hostile_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("depth 100000") << QByteArray("{\\rtf1 a" + QByteArray(100000, '{') + "x"
                                                + QByteArray(100000, '}') + "b}")
                                  << raw(u"ab");
    QByteArray deepButClosed("{\\rtf1 a");
    for (int i = 0; i < 2000; ++i)
        deepButClosed += "{";
    deepButClosed += "hidden";
    for (int i = 0; i < 2000; ++i)
        deepButClosed += "}";
    QTest::newRow("depth 2000 unwinds") << deepButClosed << raw(u"a");
    QByteArray within("{\\rtf1 a");
    for (int i = 0; i < 998; ++i)
        within += "{";
    within += "shown";
    for (int i = 0; i < 998; ++i)
        within += "}";
    QTest::newRow("depth 999 shows") << within + "b}" << raw(u"ashownb");
    QTest::newRow("bin past end") << QByteArray("{\\rtf1 a\\bin999999 xyz") << raw(u"a");
    QTest::newRow("bin negative") << QByteArray("{\\rtf1 a\\bin-5 xyz}") << raw(u"axyz");
    QTest::newRow("bin picture past end") << QByteArray("{\\rtf1 a{\\pict\\dibitmap0\\bin99999999 0123456789")
                                          << raw(u"a") + kImage;
    QTest::newRow("overlong word") << QByteArray("{\\rtf1 a\\" + QByteArray(100000, 'b') + " c}") << raw(u"ac");
    QTest::newRow("33 letters ignored") << QByteArray("{\\rtf1 a\\parparparparparparparparparparpar b}") << raw(u"ab");
    QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999\\li-99999999999\\uc99999999 a"
                                                "\\u99999999 bcdefghijklmnopqrstuvwxyz\\uc0\\u-99999999\\f-2147483648 z}")
                                  << raw(u"arstuvwxyzz");
    QTest::newRow("lone backslash") << QByteArray("{\\rtf1 a\\") << raw(u"a");
    QTest::newRow("broken hex") << QByteArray("{\\rtf1 a\\'g1b\\'") << raw(u"ag1b");
    QTest::newRow("huge picture claims") << QByteArray("{\\rtf1{\\pict\\wbitmap0\\picw999999\\pich999999\\wbmbitspixel24\\picscalex99999\\picwgoal99999999 00}}")
                                         << QString(kImage);
    QByteArray tables("{\\rtf1{\\fonttbl");
    for (int i = 0; i < 5000; ++i)
        tables += "{\\f" + QByteArray::number(i) + "\\fcharset204 F" + QByteArray::number(i) + ";}";
    tables += "}{\\colortbl ;";
    for (int i = 0; i < 5000; ++i)
        tables += "\\red" + QByteArray::number(i % 256) + "\\green1\\blue2;";
    tables += "}\\f4999\\cf4999\\highlight4999\\'c0\\f1000\\cf1000 b}";
    QTest::newRow("5000 fonts and colours") << tables << raw(u"Àb");
}

void TestRtfReader::hostile()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    const auto document = read(rtf);
    QCOMPARE(document->toRawText(), text);
    for (const Picture &picture : pictures(*document)) {
        QVERIFY(!picture.image.isNull());
        QVERIFY(picture.size.width() >= 1 && picture.size.width() <= 8192);
        QVERIFY(picture.size.height() >= 1 && picture.size.height() <= 8192);
    }
}

void TestRtfReader::hugeHexPicture()
{
    // 50 MB of hex digits with line breaks: read in one pass, kept as one placeholder.
    QByteArray rtf("{\\rtf1 a{\\pict\\pngblip\\picwgoal300\\pichgoal150 ");
    const QByteArray line = QByteArray(126, 'a') + "\r\n";
    rtf.reserve(rtf.size() + 50 * 1024 * 1024 + 64);
    while (rtf.size() < 50 * 1024 * 1024)
        rtf += line;
    rtf += "}b}";
    const auto document = read(rtf);
    QCOMPARE(document->toRawText(), raw(u"a") + kImage + raw(u"b"));
    const QList<Picture> found = pictures(*document);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].size, QSizeF(20, 10));
    QVERIFY(found[0].image.width() <= 64); // a placeholder, not 25 MB of pixels
}

void TestRtfReader::truncatedFiles_data()
{
    QTest::addColumn<QString>("file");
    for (const char *name : {"richedit_cyrillic.rtf", "word_unicode.rtf", "nested_groups.rtf",
                             "pict_wmf_stretchdib.rtf", "pict_shppict_png.rtf", "pict_bin.rtf"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestRtfReader::truncatedFiles()
{
    // Every prefix reads without harm, and never shows more text than the whole file.
    QFETCH(QString, file);
    const QByteArray whole = fixture(file);
    const QString full = read(whole)->toRawText();
    for (qsizetype n = 0; n <= whole.size(); ++n) {
        const QString part = read(whole.first(n))->toRawText();
        QVERIFY2(part.size() <= full.size() + 1, qPrintable(QStringLiteral("prefix %1").arg(n)));
    }
}

void TestRtfReader::randomBytes()
{
    QRandomGenerator random(20240611);
    int pictures = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray rtf("{\\rtf1 ");
        static const char *pieces[] = {"{", "}", "\\par ", "\\u-3", "\\'e", "\\bin3 ", "{\\pict\\wmetafile8 ",
                                       "{\\*\\shppict", "\\uc9", "\\f", "{\\fonttbl", "{\\colortbl;", "00", "0b41",
                                       "\\pngblip ", "\\dibitmap ", "28000000", "\\fcharset128 ", "\\'82", "x", ";"};
        for (int i = 0; i < 200; ++i) {
            if (random.bounded(3) == 0)
                rtf += char(random.bounded(256));
            else
                rtf += pieces[random.bounded(int(std::size(pieces)))];
        }
        const auto document = read(rtf);
        pictures += int(rtftest::pictures(*document).size());
        QVERIFY(document->characterCount() <= rtf.size() + 1);
    }
    QVERIFY(pictures > 0); // the generator does reach the picture code
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
