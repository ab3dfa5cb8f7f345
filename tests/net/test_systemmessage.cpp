#include "net/systemmessage.h"

#include <QTest>

using Type = SystemMessage::Type;

namespace {

// 17 bytes: "[" + "Bob" right-aligned in 15 + "]"
const QByteArray kBobField = "[            Bob]";

} // namespace

class TestSystemMessage : public QObject
{
    Q_OBJECT

private slots:
    void namefield_data();
    void namefield();
    void build_data();
    void build();
    void decodeRejects_data();
    void decodeRejects();
    void fieldsByPosition_data();
    void fieldsByPosition();
    void statusFromWord_data();
    void statusFromWord();
};

void TestSystemMessage::namefield_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("field");
    QTest::newRow("short") << "Bob" << "[            Bob]";
    QTest::newRow("fifteen") << "ABCDEFGHIJKLMNO" << "[ABCDEFGHIJKLMNO]";
    QTest::newRow("longer is cut") << "ABCDEFGHIJKLMNOPQ" << "[ABCDEFGHIJKLMNO]";
    QTest::newRow("empty") << QString() << "[               ]";
    QTest::newRow("cyrillic") << QString::fromUtf8("Вася") << QString::fromUtf8("[           Вася]");
}

void TestSystemMessage::namefield()
{
    QFETCH(QString, name);
    QFETCH(QString, field);
    QCOMPARE(SystemMessage::namefield(name), field);
    QCOMPARE(SystemMessage::namefield(name).size(), 17);
}

// Every message built from its parts, byte for byte, then read back by the strict decoder.
void TestSystemMessage::build_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("extra");

    const QString bob = SystemMessage::namefield("Bob");
    const QString vasya = SystemMessage::namefield(QString::fromUtf8("Вася"));
    const QString room = QString::fromUtf8("комн. 5");
    const QByteArray room1251 = "\xEA\xEE\xEC\xED. 5";

    QTest::newRow("online query, empty extra")
        << SystemMessage::onlineQuery(bob, 0, {})
        << "[px001][0000000025][online]" + kBobField + "[online][\r]"
        << int(Type::OnlineQuery) << "Bob" << 0 << QString();
    QTest::newRow("online query, busy, extra")
        << SystemMessage::onlineQuery(bob, 1, "room 5")
        << "[px001][0000000025][online]" + kBobField + "[  busy][room 5\r]"
        << int(Type::OnlineQuery) << "Bob" << 1 << "room 5";
    QTest::newRow("online query, away, cyrillic")
        << SystemMessage::onlineQuery(vasya, 2, room)
        << QByteArray("[px001][0000000025][online][           \xC2\xE0\xF1\xFF][offlin][") + room1251 + "\r]"
        << int(Type::OnlineQuery) << QString::fromUtf8("Вася") << 2 << room;
    QTest::newRow("online answer, free")
        << SystemMessage::onlineAnswer(bob, 0, "x")
        << "[px001][0000000025][onlin2]" + kBobField + "[online][x\r]"
        << int(Type::OnlineAnswer) << "Bob" << 0 << "x";
    QTest::newRow("online answer, unknown status sent as free")
        << SystemMessage::onlineAnswer(bob, 7, {})
        << "[px001][0000000025][onlin2]" + kBobField + "[online][\r]"
        << int(Type::OnlineAnswer) << "Bob" << 0 << QString();
    QTest::newRow("status notice, free")
        << SystemMessage::statusNotice(0, bob)
        << "[px002][0000000025][online]" + kBobField + "]"
        << int(Type::StatusNotice) << "Bob" << 0 << QString();
    QTest::newRow("status notice, busy")
        << SystemMessage::statusNotice(1, bob)
        << "[px002][0000000025][  busy]" + kBobField + "]"
        << int(Type::StatusNotice) << "Bob" << 1 << QString();
    QTest::newRow("status notice, away")
        << SystemMessage::statusNotice(2, bob)
        << "[px002][0000000025][offlin]" + kBobField + "]"
        << int(Type::StatusNotice) << "Bob" << 2 << QString();
    QTest::newRow("status notice body has no last bracket")
        << SystemMessage::statusNoticeBody(1, bob) + "]"
        << "[px002][0000000025][  busy]" + kBobField + "]"
        << int(Type::StatusNotice) << "Bob" << 1 << QString();
    QTest::newRow("name notice")
        << SystemMessage::nameNotice(bob, "new info")
        << "[px003][0000000025][chname]" + kBobField + "new info\r]"
        << int(Type::NameNotice) << "Bob" << 0 << "new info";
    QTest::newRow("name notice, empty extra")
        << SystemMessage::nameNotice(vasya, {})
        << QByteArray("[px003][0000000025][chname][           \xC2\xE0\xF1\xFF]\r]")
        << int(Type::NameNotice) << QString::fromUtf8("Вася") << 0 << QString();
    QTest::newRow("name notice body has no last bracket")
        << SystemMessage::nameNoticeBody(bob, "i") + "]"
        << "[px003][0000000025][chname]" + kBobField + "i\r]"
        << int(Type::NameNotice) << "Bob" << 0 << "i";
    QTest::newRow("offline notice")
        << SystemMessage::offlineNotice() << QByteArray("[px004]")
        << int(Type::OfflineNotice) << QString() << 0 << QString();
}

void TestSystemMessage::build()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, expected);
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(int, status);
    QFETCH(QString, extra);

    QCOMPARE(built, expected);
    // the lengths the layout fixes
    const QByteArray tag = expected.left(7);
    if (tag == "[px001]")
        QCOMPARE(expected.size(), 55 + SystemMessage::decode(expected)->extra.size());
    else if (tag == "[px002]")
        QCOMPARE(expected.size(), 45);
    else if (tag == "[px003]")
        QCOMPARE(expected.size(), 46 + SystemMessage::decode(expected)->extra.size());

    // the decoder reads only the bytes it is given
    const QByteArray buffer = expected + "]CANARY";
    const auto m = SystemMessage::decode(QByteArrayView(buffer.constData(), expected.size()));
    QVERIFY(m.has_value());
    QCOMPARE(int(m->type), type);
    QCOMPARE(m->name, name);
    QCOMPARE(m->status, status);
    QCOMPARE(m->extra, extra);

    // every truncation is refused by the strict decoder
    for (qsizetype n = 0; n < expected.size(); ++n)
        QVERIFY2(!SystemMessage::decode(QByteArrayView(expected.constData(), n)), qPrintable(QString::number(n)));
}

void TestSystemMessage::decodeRejects_data()
{
    QTest::addColumn<QByteArray>("payload");
    const QByteArray q = "[px001][0000000025][online]" + kBobField + "[online][x\r]";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unknown tag") << QByteArray("[px005]");
    QTest::newRow("offline with more") << QByteArray("[px004]x");
    QTest::newRow("query with extra byte after") << q + "]";
    QTest::newRow("query without closing bracket") << q.chopped(1);
    QTest::newRow("query without cr") << QByteArray(q).replace('\r', 'y');
    QTest::newRow("query extra holding cr") << "[px001][0000000025][online]" + kBobField + "[online][a\rb\r]";
    QTest::newRow("query unknown status tag") << QByteArray(q).replace(44, 8, "[abcdef]");
    QTest::newRow("query missing bracket at 53") << QByteArray(q).replace(52, 1, "(");
    QTest::newRow("query unknown subtype") << QByteArray(q).replace(19, 8, "[onlin3]");
    QTest::newRow("fixed field not digits") << QByteArray(q).replace(8, 1, "x");
    QTest::newRow("name field without brackets") << QByteArray(q).replace(27, 1, " ");
    QTest::newRow("status notice unknown subtype") << "[px002][0000000025][online ]" + kBobField + "]";
    QTest::newRow("status notice too long") << "[px002][0000000025][online]" + kBobField + "]]";
    QTest::newRow("name notice wrong subtype") << "[px003][0000000025][chnam2]" + kBobField + "x\r]";
    QTest::newRow("zero byte in extra") << "[px003][0000000025][chname]" + kBobField + QByteArray("a\0b\r]", 5);
}

void TestSystemMessage::decodeRejects()
{
    QFETCH(QByteArray, payload);
    QVERIFY(!SystemMessage::decode(payload).has_value());
}

void TestSystemMessage::fieldsByPosition_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QByteArray>("subtype");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("statusWord");
    QTest::newRow("online query")
        << SystemMessage::onlineQuery(SystemMessage::namefield("Bob"), 1, "e")
        << QByteArray("[px001]") << QByteArray("[online]") << "Bob" << QByteArray("  busy");
    QTest::newRow("status notice: status word is its last bracket and beyond")
        << SystemMessage::statusNotice(2, SystemMessage::namefield("Al Bo"))
        << QByteArray("[px002]") << QByteArray("[offlin]") << "Al Bo" << QByteArray("");
    QTest::newRow("offline notice") << QByteArray("[px004]") << QByteArray("[px004]") << QByteArray()
                                    << QString() << QByteArray();
    QTest::newRow("cut in the name") << QByteArray("[px001][0000000025][online][      Bo")
                                     << QByteArray("[px001]") << QByteArray("[online]") << "Bo"
                                     << QByteArray();
    QTest::newRow("cut in the subtype") << QByteArray("[px002][0000000025][onl")
                                        << QByteArray("[px002]") << QByteArray("[onl") << QString()
                                        << QByteArray();
    QTest::newRow("short") << QByteArray("[px") << QByteArray("[px") << QByteArray() << QString()
                           << QByteArray();
}

void TestSystemMessage::fieldsByPosition()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, tag);
    QFETCH(QByteArray, subtype);
    QFETCH(QString, name);
    QFETCH(QByteArray, statusWord);
    const QByteArray buffer = payload + "CANARY";
    const QByteArrayView view(buffer.constData(), payload.size());
    QCOMPARE(SystemMessage::tagOf(view).toByteArray(), tag);
    QCOMPARE(SystemMessage::subtypeOf(view).toByteArray(), subtype);
    QCOMPARE(SystemMessage::nameOf(view), name);
    QCOMPARE(SystemMessage::statusWordOf(view).toByteArray(), statusWord);
}

void TestSystemMessage::statusFromWord_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("status");
    QTest::newRow("online") << QByteArray("online") << 0;
    QTest::newRow("busy") << QByteArray("  busy") << 1;
    QTest::newRow("offlin") << QByteArray("offlin") << 2;
    QTest::newRow("busy without blanks") << QByteArray("busy") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("capitals") << QByteArray("OFFLIN") << 0;
}

void TestSystemMessage::statusFromWord()
{
    QFETCH(QByteArray, word);
    QFETCH(int, status);
    QCOMPARE(SystemMessage::statusFromWord(word), status);
    if (word == SystemMessage::statusTag(status).mid(1, 6))
        QCOMPARE(SystemMessage::statusTag(status), '[' + word + ']');
}

QTEST_GUILESS_MAIN(TestSystemMessage)
#include "test_systemmessage.moc"
