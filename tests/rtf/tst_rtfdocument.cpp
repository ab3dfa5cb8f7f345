// The editor operations: files, streaming in and out, and copying between documents.
#include "rtftesthelpers.h"

#include "platform/rtf/rtfdocument.h"
#include "platform/rtf/smileypictures.h"

#include <QTemporaryDir>

using namespace rtftest;

class TestRtfDocument : public QObject
{
    Q_OBJECT
private slots:
    void saveAndLoad();
    void loadPlainTextFile();
    void loadFailures();
    void saveFailureKeepsOldFile();
    void streamInReplacesSelection();
    void streamInRejectsNonRtf();
    void richdatacopyCarriesPictures();
    void richdatacopyTwiceGivesUniqueNames();
};

void TestRtfDocument::saveAndLoad()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QTextDocument source;
    QTextCursor cursor(&source);
    QTextCharFormat bold;
    bold.setFontFamilies({QStringLiteral("Arial")});
    bold.setFontPointSize(11);
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Письмо "), bold);
    QVERIFY(SmileyPictures::insert(cursor, 7, QColor(192, 192, 192)));
    const QString path = dir.filePath(QStringLiteral("2004-03-15--09-05-07[Ann].rtf"));
    QVERIFY(RtfDocument::saveFile(source, path));

    QTextDocument loaded;
    loaded.setPlainText("old content");
    QVERIFY(RtfDocument::loadFile(loaded, path));
    QCOMPARE(loaded.toRawText(), QStringLiteral("Письмо ") + QChar(QChar::ObjectReplacementCharacter));
    QCOMPARE(formatAt(loaded, "Письмо").fontWeight(), int(QFont::Bold));
    const QList<Picture> found = pictures(loaded);
    QCOMPARE(found.size(), 1);
    QVERIFY(samePixels(found[0].image, pictures(source)[0].image));
    QCOMPARE(found[0].size, QSizeF(27, 24));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

void TestRtfDocument::loadPlainTextFile()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("note.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xcf\xf0\xe8\xe2\xe5\xf2\r\nworld");
    file.close();
    QTextDocument document;
    QVERIFY(RtfDocument::loadFile(document, file.fileName()));
    QCOMPARE(document.toPlainText(), QStringLiteral("Привет\nworld"));
}

void TestRtfDocument::loadFailures()
{
    QTemporaryDir dir;
    QTextDocument document;
    document.setPlainText("unchanged");
    QVERIFY(!RtfDocument::loadFile(document, dir.filePath("missing.rtf")));
    QVERIFY(!RtfDocument::loadFile(document, dir.path())); // a folder
    QCOMPARE(document.toPlainText(), QStringLiteral("unchanged"));
}

void TestRtfDocument::saveFailureKeepsOldFile()
{
    QTemporaryDir dir;
    QTextDocument document;
    document.setPlainText("text");
    QVERIFY(!RtfDocument::saveFile(document, dir.filePath("no/such/folder/file.rtf")));
    const QString path = dir.filePath("file1.rtf");
    QVERIFY(RtfDocument::saveFile(document, path));
    document.setPlainText("newer");
    QVERIFY(RtfDocument::saveFile(document, path));
    QTextDocument loaded;
    QVERIFY(RtfDocument::loadFile(loaded, path));
    QCOMPARE(loaded.toPlainText(), QStringLiteral("newer"));
}

void TestRtfDocument::streamInReplacesSelection()
{
    QTextDocument document;
    document.setPlainText("one two three");
    QTextCursor cursor(&document);
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    QVERIFY(RtfDocument::streamIn(cursor, "{\\rtf1\\ansi\\ansicpg1251{\\b \\'e4\\'e2\\'e0}}"));
    QCOMPARE(document.toPlainText(), QStringLiteral("one два three"));
    QCOMPARE(cursor.position(), 7);
    QVERIFY(formatAt(document, "два").fontWeight() >= QFont::Bold);
    document.undo(); // one change
    QCOMPARE(document.toPlainText(), QStringLiteral("one two three"));
}

void TestRtfDocument::streamInRejectsNonRtf()
{
    QTextDocument document;
    document.setPlainText("abc");
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    QVERIFY(!RtfDocument::streamIn(cursor, "not rich text"));
    QCOMPARE(document.toPlainText(), QStringLiteral("abc"));
}

void TestRtfDocument::richdatacopyCarriesPictures()
{
    auto input = std::make_unique<QTextDocument>();
    QTextCursor in(input.get());
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontPointSize(14);
    in.insertText(QStringLiteral("Привет "), red);
    QVERIFY(SmileyPictures::insert(in, 3, QColor(192, 192, 192)));
    const QImage sent = pictures(*input)[0].image;

    QTextDocument conversation;
    QTextCursor out(&conversation);
    out.insertText(QStringLiteral("[12:00:00] Вы для Ann. "));
    out.insertBlock();
    RtfDocument::Richdatacopy1(*input, out);
    input.reset(); // the copy owns its pictures

    QCOMPARE(conversation.toRawText(), QStringLiteral("[12:00:00] Вы для Ann. \u2029Привет ") + QChar(QChar::ObjectReplacementCharacter));
    const QTextCharFormat copied = formatAt(conversation, "Привет");
    QCOMPARE(copied.foreground().color(), QColor(255, 0, 0));
    QCOMPARE(copied.fontPointSize(), 14.0);
    const QList<Picture> found = pictures(conversation);
    QCOMPARE(found.size(), 1);
    QVERIFY(samePixels(found[0].image, sent));
    QCOMPARE(found[0].size, QSizeF(20, 20));
    conversation.undo();
    QCOMPARE(conversation.toRawText(), QStringLiteral("[12:00:00] Вы для Ann. \u2029"));
}

void TestRtfDocument::richdatacopyTwiceGivesUniqueNames()
{
    QTextDocument input;
    QTextCursor in(&input);
    QVERIFY(SmileyPictures::insert(in, 1, Qt::white));
    QTextDocument conversation;
    QTextCursor out(&conversation);
    RtfDocument::Richdatacopy1(input, out);
    input.clear();
    QTextCursor again(&input);
    QVERIFY(SmileyPictures::insert(again, 2, Qt::white));
    out.movePosition(QTextCursor::End);
    RtfDocument::Richdatacopy1(input, out);
    const QList<Picture> found = pictures(conversation);
    QCOMPARE(found.size(), 2);
    QVERIFY(found[0].name != found[1].name);
    QVERIFY(samePixels(found[0].image, SmileyPictures::withBackground(SmileyPictures::bitmap(1), Qt::white)));
    QVERIFY(samePixels(found[1].image, SmileyPictures::withBackground(SmileyPictures::bitmap(2), Qt::white)));
}

QTEST_MAIN(TestRtfDocument)
#include "tst_rtfdocument.moc"
