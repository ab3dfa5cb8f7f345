// libFuzzer target: any bytes through the RTF reader into a document, and the result back out
// through the writer. Built with -DPARLIX_FUZZ=ON (clang); tools/fuzz-rtf.sh runs it.
#include "platform/rtf/rtfreader.h"
#include "platform/rtf/rtfwriter.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Documents lay out text with fonts, which need a GUI application; no screen is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray rtf("{\\rtf1 ");
    rtf.append(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    QTextCursor cursor(&document);
    // Both the raw bytes and the bytes behind an RTF header, so that mutations need not keep
    // the header intact to reach the parser.
    RtfReader::read(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), cursor);
    RtfReader::read(rtf, cursor);
    if (RtfWriter::write(document).isEmpty())
        std::abort(); // the writer always produces at least the header
    return 0;
}
