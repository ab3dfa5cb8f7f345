// A 100 MB file of random bytes goes from one real copy to another on loopback and arrives byte
// for byte, with every line and progress step at both ends. Slow by nature: labelled "slow".
#include "support/runningcopy.h"

#include "net/sendjobs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
constexpr qint64 kSize = 100LL * 1024 * 1024;

// Writes `size` random bytes in blocks; the SHA-256 of what was written, empty on failure.
QByteArray writeRandomFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<quint32> block(256 * 1024);
    for (qint64 left = size; left > 0;) {
        QRandomGenerator::global()->fillRange(block.data(), qsizetype(block.size()));
        const qint64 n = std::min<qint64>(left, qint64(block.size() * sizeof(quint32)));
        const char *bytes = reinterpret_cast<const char *>(block.data());
        if (file.write(bytes, n) != n)
            return {};
        hash.addData(QByteArrayView(bytes, n));
        left -= n;
    }
    return file.flush() ? hash.result() : QByteArray();
}

QByteArray sha256Of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) ? hash.result() : QByteArray();
}

} // namespace

class TestBigTransfer : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_files;

private slots:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QVERIFY(QDir().mkpath(m_files.filePath("temp")));
        qputenv("TEMP", m_files.filePath("temp").toUtf8());
    }

    void hundredMegabytesArriveIntact()
    {
        const QString path = m_files.filePath("big.bin");
        const QByteArray sent = writeRandomFile(path, kSize);
        QVERIFY(!sent.isEmpty());

        RunningCopy a("127.0.0.64"), b("127.0.0.65");
        QVERIFY(a.app().jobs().sendfileto3('0', path, "127.0.0.65", 7456, "Bob", "Alice"));
        const QString arrived = b.savedir() + "/big.bin";
        // The limits are for a machine under heavy load; nothing here depends on the speed.
        QTRY_VERIFY_WITH_TIMEOUT(b.hasLine("Пришел файл ( file://" + arrived + " ) от[Alice]", kRed), 500000);
        QTRY_VERIFY_WITH_TIMEOUT(a.hasLine(" послали big.bin для Bob", kBlue), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(a.app().jobs().running(), 0, 60000);

        QCOMPARE(QFileInfo(arrived).size(), kSize);
        QCOMPARE(sha256Of(arrived), sent);
        QCOMPARE(QDir(b.savedir()).entryList(QDir::Files), QStringList{"big.bin"});
        QVERIFY(QFile::exists(path)); // a file the user chose stays where it was

        // Every whole percent once, in order: 51,200 chunks pass each value at least once.
        QStringList percents;
        for (int p = 0; p <= 100; ++p)
            percents << QString::number(p) + u'%';
        QCOMPARE(a.statusTexts.filter(QRegularExpression("%$")), percents);
        // Only the one line at each end: no failure on either side.
        QCOMPARE(a.lines.size(), 1);
        QCOMPARE(b.lines.size(), 1);
        QVERIFY(a.notices.isEmpty());
    }
};

QTEST_MAIN(TestBigTransfer)
#include "test_bigtransfer.moc"
