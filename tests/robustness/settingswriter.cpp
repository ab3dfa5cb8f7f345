// Saves the settings and the contact list of a data folder over and over, alternating between two
// versions, until it is killed: the test kills it at random moments and then reads what is left.
// Usage: settingswriter DATAFOLDER
#include "settingsversions.h"

#include "contacts/contacttable.h"
#include "contacts/settingsfile.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QDir home(app.arguments().value(1));
    const SettingsFile file(home.filePath("parlix7.ini"), home.filePath("pxusers.ini"), nullptr, nullptr);
    for (int n = 0;; ++n) {
        ContactTable table;
        table.setCells(SettingsVersions::list(n % 2));
        file.savesettings(SettingsVersions::values(n % 2), table);
    }
}
