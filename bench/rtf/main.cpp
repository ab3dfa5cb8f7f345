// Prints how fast the RTF writer and reader go on a 10 MB document of formatted Cyrillic and
// Latin text with a smiley every few words, as a table. Runs offscreen; no arguments.
#include "platform/rtf/rtfdocument.h"
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"
#include "platform/rtf/smileypictures.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype kTarget = 10 * 1024 * 1024;
constexpr int kRounds = 3;

// Paragraphs of messages as a conversation holds them, until the RTF reaches the target size.
void build(QTextDocument &document)
{
    QTextCursor cursor(&document);
    const QStringList words = {QStringLiteral("Привет"), QStringLiteral("как"), QStringLiteral("дела"),
                               QStringLiteral("hello"), QStringLiteral("world"), QStringLiteral("сообщение"),
                               QStringLiteral("файл"), QStringLiteral("€100"), QStringLiteral("日本")};
    const QColor colours[] = {Qt::black, Qt::red, Qt::blue, QColor(0, 128, 0)};
    int n = 0;
    qsizetype estimate = 0;
    while (estimate < kTarget) {
        QTextCharFormat header;
        header.setFontFamilies({QStringLiteral("Arial")});
        header.setFontPointSize(10);
        header.setForeground(n % 2 ? Qt::red : Qt::blue);
        cursor.insertText(QStringLiteral("[12:%1:%2] [Ann]").arg(n / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(n % 60, 2, 10, QLatin1Char('0')), header);
        cursor.insertBlock();
        for (int w = 0; w < 40; ++w, ++n) {
            QTextCharFormat format;
            format.setFontFamilies({w % 3 ? QStringLiteral("Arial") : QStringLiteral("Times New Roman")});
            format.setFontPointSize(9 + w % 5);
            format.setFontWeight(w % 4 == 0 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(w % 7 == 0);
            format.setForeground(colours[w % 4]);
            cursor.insertText(words[n % words.size()] + QLatin1Char(' '), format);
            if (w % 13 == 12)
                SmileyPictures::insert(cursor, 1 + n % SmileyPictures::kCount, QColor(192, 192, 192));
        }
        cursor.insertBlock();
        estimate += 40 * 18 + 3 * 2 * 3850; // text and three pictures written twice as hex
    }
}

double mbps(qsizetype bytes, qint64 nanoseconds)
{
    return (double(bytes) / (1024.0 * 1024.0)) / (double(nanoseconds) / 1e9);
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);

    QTextDocument document;
    build(document);

    QByteArray rtf;
    qint64 bestWrite = 0;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        rtf = RtfWriter::write(document);
        const qint64 t = timer.nsecsElapsed();
        bestWrite = i == 0 ? t : qMin(bestWrite, t);
    }

    qint64 bestRead = 0;
    int pictures = 0;
    for (int i = 0; i < kRounds; ++i) {
        QTextDocument copy;
        QTextCursor cursor(&copy);
        QElapsedTimer timer;
        timer.start();
        RtfReader::read(rtf, cursor);
        const qint64 t = timer.nsecsElapsed();
        bestRead = i == 0 ? t : qMin(bestRead, t);
        if (copy.characterCount() != document.characterCount()) {
            std::fprintf(stderr, "read back %d characters instead of %d\n", copy.characterCount(),
                         document.characterCount());
            return 1;
        }
        pictures = 0;
        for (QTextBlock b = copy.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                pictures += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
    }

    std::printf("RTF codec, %.1f MB document: %d characters, %d pictures (best of %d)\n\n",
                double(rtf.size()) / (1024.0 * 1024.0), document.characterCount(), pictures, kRounds);
    std::printf("| operation | MB    | ms      | MB/s   |\n");
    std::printf("|-----------|-------|---------|--------|\n");
    std::printf("| write     | %5.1f | %7.1f | %6.1f |\n", double(rtf.size()) / (1024.0 * 1024.0),
                double(bestWrite) / 1e6, mbps(rtf.size(), bestWrite));
    std::printf("| read      | %5.1f | %7.1f | %6.1f |\n", double(rtf.size()) / (1024.0 * 1024.0),
                double(bestRead) / 1e6, mbps(rtf.size(), bestRead));
    return 0;
}
