#include "settingsversions.h"

OptionValues SettingsVersions::values(int version)
{
    OptionValues values;
    const QChar mark = version ? u'b' : u'a';
    values.usernam = QString(15, mark);
    values.add_inf = QString(200, mark);
    values.savedir = QStringLiteral("/srv/") + QString(40, mark) + u'/';
    values.autorun = false;
    values.allaccs = version;
    values.c_width = version ? 800 : 630;
    values.CheckBox_iponly = true;
    return values;
}

ListFile::Table SettingsVersions::list(int version)
{
    ListFile::Table table;
    const QChar mark = version ? u'B' : u'A';
    for (int row = 1; row < ListFile::kRows; ++row) {
        table[row][0] = QString(30, mark) + QString::number(row);
        table[row][1] = QStringLiteral("10.%1.0.%2").arg(version).arg(row);
        table[row][4] = QString(100, mark);
    }
    return table;
}
