#include "optionrules.h"

#include "optionvalues.h"

#include <climits>

namespace {

int countOf(const QString &field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok ? value : 1;
}

} // namespace

QString OptionRules::savedir(const QString &field)
{
    if (field.isEmpty())
        return OptionValues::defaultSavedir();
    return field.endsWith(u'/') ? field : field + u'/';
}

QString OptionRules::countUp(const QString &field)
{
    const int value = countOf(field);
    return QString::number(value < INT_MAX ? value + 1 : value);
}

QString OptionRules::countDown(const QString &field)
{
    const int value = countOf(field);
    return QString::number(value > 0 ? value - 1 : value);
}

QString OptionRules::pastedName(const QString &name)
{
    QString clean = name;
    clean.remove(u'[');
    clean.remove(u']');
    return clean.left(kNameLength);
}

bool OptionRules::isNameBracket(const QString &keyText)
{
    return keyText == QLatin1String("[") || keyText == QLatin1String("]");
}
