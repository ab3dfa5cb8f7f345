#include "optionvalues.h"

#include <QDir>

int OptionValues::sliderHeight() const
{
    bool ok = false;
    const int value = sliderpos.trimmed().toInt(&ok, 10);
    return ok ? value : 80;
}

QString OptionValues::defaultSavedir()
{
    return QDir::homePath() + QStringLiteral("/COMMON/");
}
