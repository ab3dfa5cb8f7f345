#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The five system messages, the whole payload of a kind "3" request, byte for byte, and the
// fields a receiver reads from them by position (1-based positions as the layout counts them).
//
// Status: 0 free, 1 busy, 2 away; on the wire the six-character words "online", "  busy",
// "offlin" in brackets. The name travels in `namefield`: "[" + the name right-aligned in 15
// characters + "]".
struct SystemMessage
{
    enum class Type { OnlineQuery, OnlineAnswer, StatusNotice, NameNotice, OfflineNotice };

    Type type = Type::OfflineNotice;
    QString name;    // from the name field, leading blanks removed
    int status = 0;  // query and answer: the status tag; status notice: the new status
    QString extra;   // query, answer and name notice: the extra information

    static constexpr QByteArrayView kOnlineTag = "[px001]";
    static constexpr QByteArrayView kStatusTag = "[px002]";
    static constexpr QByteArrayView kNameTag = "[px003]";
    static constexpr QByteArrayView kOfflineTag = "[px004]";
    static constexpr QByteArrayView kFixedField = "[0000000025]";
    static constexpr QByteArrayView kQuerySubtype = "[online]";
    static constexpr QByteArrayView kAnswerSubtype = "[onlin2]";
    static constexpr QByteArrayView kChnameSubtype = "[chname]";
    static constexpr int kNameWidth = 15;

    // "[" + name right-aligned in 15 characters + "]". The positions after the name field are
    // fixed, so a name longer than 15 characters (the settings window never allows one) is cut to
    // its first 15 rather than shifting every field behind it.
    static QString namefield(const QString &ownName);
    // "[online]", "[  busy]", "[offlin]"; any other status counts as free.
    static QByteArray statusTag(int status);
    // "online" 0, "  busy" 1, "offlin" 2; any other word reads as 0.
    static int statusFromWord(QByteArrayView word);

    // The messages as they go on the wire, each complete with its closing "]".
    static QByteArray onlineQuery(const QString &namefield, int status, const QString &extra);
    static QByteArray onlineAnswer(const QString &namefield, int status, const QString &extra);
    static QByteArray statusNotice(int newStatus, const QString &namefield);
    static QByteArray nameNotice(const QString &namefield, const QString &extra);
    static QByteArray offlineNotice();
    // The status and name notices are handed to the broadcast to every connected contact without
    // their last "]", which the broadcast appends: these are those texts.
    static QByteArray statusNoticeBody(int newStatus, const QString &namefield);
    static QByteArray nameNoticeBody(const QString &namefield, const QString &extra);

    // Fields by position, for a receiver that applies its own length rules. Each returns what the
    // payload holds at those positions (shorter or empty when the payload ends earlier).
    static QByteArrayView tagOf(QByteArrayView payload);      // 1-7
    static QByteArrayView subtypeOf(QByteArrayView payload);  // 20-27
    static QString nameOf(QByteArrayView payload);            // 29-43, leading blanks removed
    static QByteArrayView statusWordOf(QByteArrayView payload); // 46-51

    // The strict reading: the payload must be exactly one of the five layouts (any ten digits in
    // the fixed field, which nobody examines). Anything else gives nothing.
    static std::optional<SystemMessage> decode(QByteArrayView payload);
};
