#include "linkfinder.h"

#include <QRegularExpression>

QString LinkFinder::linkAt(const QString &text, int position)
{
    static const QRegularExpression link(
        QStringLiteral(R"((?:https?://|ftp://|file://|www\.)[^\s<>"]+)"), QRegularExpression::CaseInsensitiveOption);
    auto matches = link.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (position >= match.capturedStart() && position < match.capturedEnd()) {
            QString found = match.captured();
            // A sentence's closing punctuation is not part of the address.
            while (!found.isEmpty() && QStringLiteral(".,;:!?)]").contains(found.back()))
                found.chop(1);
            return found;
        }
    }
    return QString();
}
