#include "systemmessage.h"

#include "platform/codepage.h"

namespace {

constexpr QByteArrayView kStatusWords[] = {"online", "  busy", "offlin"};

// positions first..last (1-based, inclusive), cut at the payload's end
QByteArrayView positions(QByteArrayView payload, qsizetype first, qsizetype last)
{
    if (payload.size() < first)
        return {};
    return payload.sliced(first - 1, qMin(last, payload.size()) - first + 1);
}

QByteArray onlineMessage(QByteArrayView subtype, const QString &namefield, int status,
                         const QString &extra)
{
    QByteArray m = SystemMessage::kOnlineTag.toByteArray();
    m += SystemMessage::kFixedField;
    m += subtype;
    m += CodePage::fromUnicode(namefield);
    m += SystemMessage::statusTag(status);
    m += '[';
    m += CodePage::fromUnicode(extra);
    m += "\r]";
    return m;
}

// The extra information runs from `from` to the CR that is followed by the final "]".
std::optional<QString> extraAt(QByteArrayView payload, qsizetype from)
{
    if (payload.size() < from + 1 || !payload.endsWith("\r]"))
        return std::nullopt;
    const QByteArrayView extra = payload.sliced(from - 1, payload.size() - 2 - (from - 1));
    if (extra.contains('\r') || extra.contains('\0'))
        return std::nullopt;
    return CodePage::toUnicode(extra.toByteArray());
}

std::optional<int> strictStatus(QByteArrayView tag)
{
    for (int s = 0; s < 3; ++s) {
        if (tag == SystemMessage::statusTag(s))
            return s;
    }
    return std::nullopt;
}

bool validFixedField(QByteArrayView field)
{
    if (field.size() != 12 || field.front() != '[' || field.back() != ']')
        return false;
    for (char c : field.sliced(1, 10)) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool validNameField(QByteArrayView field)
{
    return field.size() == 17 && field.front() == '[' && field.back() == ']';
}

} // namespace

QString SystemMessage::namefield(const QString &ownName)
{
    return u'[' + ownName.left(kNameWidth).rightJustified(kNameWidth, u' ') + u']';
}

QByteArray SystemMessage::statusTag(int status)
{
    const QByteArrayView word = kStatusWords[status == 1 || status == 2 ? status : 0];
    return '[' + word.toByteArray() + ']';
}

int SystemMessage::statusFromWord(QByteArrayView word)
{
    if (word == kStatusWords[1])
        return 1;
    if (word == kStatusWords[2])
        return 2;
    return 0;
}

QByteArray SystemMessage::onlineQuery(const QString &namefield, int status, const QString &extra)
{
    return onlineMessage(kQuerySubtype, namefield, status, extra);
}

QByteArray SystemMessage::onlineAnswer(const QString &namefield, int status, const QString &extra)
{
    return onlineMessage(kAnswerSubtype, namefield, status, extra);
}

QByteArray SystemMessage::statusNoticeBody(int newStatus, const QString &namefield)
{
    QByteArray m = kStatusTag.toByteArray();
    m += kFixedField;
    m += statusTag(newStatus);
    m += CodePage::fromUnicode(namefield);
    return m;
}

QByteArray SystemMessage::statusNotice(int newStatus, const QString &namefield)
{
    return statusNoticeBody(newStatus, namefield) + ']';
}

QByteArray SystemMessage::nameNoticeBody(const QString &namefield, const QString &extra)
{
    QByteArray m = kNameTag.toByteArray();
    m += kFixedField;
    m += kChnameSubtype;
    m += CodePage::fromUnicode(namefield);
    m += CodePage::fromUnicode(extra);
    m += '\r';
    return m;
}

QByteArray SystemMessage::nameNotice(const QString &namefield, const QString &extra)
{
    return nameNoticeBody(namefield, extra) + ']';
}

QByteArray SystemMessage::offlineNotice()
{
    return kOfflineTag.toByteArray();
}

QByteArrayView SystemMessage::tagOf(QByteArrayView payload)
{
    return positions(payload, 1, 7);
}

QByteArrayView SystemMessage::subtypeOf(QByteArrayView payload)
{
    return positions(payload, 20, 27);
}

QString SystemMessage::nameOf(QByteArrayView payload)
{
    QByteArrayView name = positions(payload, 29, 43);
    while (!name.isEmpty() && name.front() == ' ')
        name = name.sliced(1);
    return CodePage::toUnicode(name.toByteArray());
}

QByteArrayView SystemMessage::statusWordOf(QByteArrayView payload)
{
    return positions(payload, 46, 51);
}

std::optional<SystemMessage> SystemMessage::decode(QByteArrayView payload)
{
    const QByteArrayView tag = tagOf(payload);
    if (tag == kOfflineTag) {
        if (payload.size() != 7)
            return std::nullopt;
        return SystemMessage{Type::OfflineNotice, {}, 0, {}};
    }
    if (payload.size() < 45 || !validFixedField(positions(payload, 8, 19))
        || !validNameField(positions(payload, 28, 44)))
        return std::nullopt;
    const QByteArrayView subtype = subtypeOf(payload);
    SystemMessage m;
    m.name = nameOf(payload);
    if (tag == kOnlineTag && (subtype == kQuerySubtype || subtype == kAnswerSubtype)) {
        const std::optional<int> status = strictStatus(positions(payload, 45, 52));
        const std::optional<QString> extra = extraAt(payload, 54);
        if (!status || payload.size() < 55 || payload[52] != '[' || !extra)
            return std::nullopt;
        m.type = subtype == kQuerySubtype ? Type::OnlineQuery : Type::OnlineAnswer;
        m.status = *status;
        m.extra = *extra;
        return m;
    }
    if (tag == kStatusTag) {
        const std::optional<int> status = strictStatus(subtype);
        if (!status || payload.size() != 45 || payload.back() != ']')
            return std::nullopt;
        m.type = Type::StatusNotice;
        m.status = *status;
        return m;
    }
    if (tag == kNameTag && subtype == kChnameSubtype) {
        const std::optional<QString> extra = extraAt(payload, 45);
        if (!extra)
            return std::nullopt;
        m.type = Type::NameNotice;
        m.extra = *extra;
        return m;
    }
    return std::nullopt;
}
