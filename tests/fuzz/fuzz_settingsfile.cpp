// libFuzzer target: the settings file "parlix7.ini" as any bytes. Reading gives values and a
// legacy contact list; writing the file back keeps every line, so reading it again gives the
// same; writing our values into it and reading them back gives them unchanged.
#include "contacts/inifile.h"
#include "contacts/settingsfile.h"

#include <cstdint>

namespace {

bool sameValues(const OptionValues &a, const OptionValues &b)
{
    // Written back through the file, so the file is the comparison.
    IniFile x, y;
    SettingsFile::writeValues(a, x);
    SettingsFile::writeValues(b, y);
    return x.serialize() == y.serialize();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini = IniFile::parse(bytes);
    const OptionValues values = SettingsFile::readValues(ini);
    const ListFile::Table legacy = SettingsFile::readLegacyList(ini);

    const IniFile reread = IniFile::parse(ini.serialize());
    if (!sameValues(SettingsFile::readValues(reread), values) || SettingsFile::readLegacyList(reread) != legacy)
        __builtin_trap();

    // Saving: our keys set into the file as read, the legacy list removed, read back.
    SettingsFile::writeValues(values, ini);
    SettingsFile::removeLegacyList(ini);
    const IniFile saved = IniFile::parse(ini.serialize());
    const OptionValues back = SettingsFile::readValues(saved);
    if (back.allaccs != values.allaccs || back.CheckBox_iponly != values.CheckBox_iponly || back.u_free != values.u_free)
        __builtin_trap();
    if (!SettingsFile::readLegacyList(saved)[1][1].isEmpty())
        __builtin_trap();
    return 0;
}
