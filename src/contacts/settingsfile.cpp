#include "settingsfile.h"

#include "contacttable.h"

#include "app/debuglog.h"
#include "app/userprompt.h"

#include <QFile>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <variant>

namespace {

const QString kOptions = QString::fromLatin1(SettingsFile::kSection);

struct BoolKey { const char *key; bool OptionValues::*field; bool saved; };
struct IntKey { const char *key; int OptionValues::*field; bool saved; };
struct TextKey { const char *key; QString OptionValues::*field; bool saved; };
using Key = std::variant<BoolKey, IntKey, TextKey>;

// The keys in the order they are read and written. "wnd_max", "oldstatus" and "sliderpos" are
// written by their own rules; "soundfile" only when a sound is chosen.
const Key kKeys[] = {
    BoolKey{"menu_on", &OptionValues::menu_on, true},
    TextKey{"bt_opt", &OptionValues::bt_opt, false},
    TextKey{"bt_stt", &OptionValues::bt_stt, false},
    TextKey{"bt_pct", &OptionValues::bt_pct, false},
    TextKey{"bt_fls", &OptionValues::bt_fls, false},
    TextKey{"usernam", &OptionValues::usernam, true},
    TextKey{"add_inf", &OptionValues::add_inf, true},
    TextKey{"savedir", &OptionValues::savedir, true},
    BoolKey{"allaccs", &OptionValues::allaccs, true},
    TextKey{"countsn", &OptionValues::countsn, true},
    BoolKey{"hidden0", &OptionValues::hidden0, true},
    BoolKey{"autorun", &OptionValues::autorun, true},
    TextKey{"prefiks", &OptionValues::prefiks, true},
    IntKey{"u_free", &OptionValues::u_free, true},
    IntKey{"u_busy", &OptionValues::u_busy, true},
    IntKey{"u_offl", &OptionValues::u_offl, true},
    TextKey{"e-fontname", &OptionValues::e_fontname, true},
    IntKey{"e-fontsiz", &OptionValues::e_fontsiz, true},
    IntKey{"e-color", &OptionValues::e_color, true},
    BoolKey{"e-fontbld", &OptionValues::e_fontbld, true},
    BoolKey{"e-fnt_itl", &OptionValues::e_fnt_itl, true},
    TextKey{"fontname", &OptionValues::fontname, true},
    IntKey{"fontsiz", &OptionValues::fontsiz, true},
    BoolKey{"fontbld", &OptionValues::fontbld, true},
    BoolKey{"fnt_itl", &OptionValues::fnt_itl, true},
    BoolKey{"rb3", &OptionValues::rb3, true},
    BoolKey{"rb4", &OptionValues::rb4, true},
    BoolKey{"rb5", &OptionValues::rb5, true},
    BoolKey{"rb1", &OptionValues::rb1, true},
    BoolKey{"cb4", &OptionValues::cb4, true},
    BoolKey{"cb2", &OptionValues::cb2, true},
    BoolKey{"cb3", &OptionValues::cb3, true},
    BoolKey{"showcon", &OptionValues::showcon, true},
    BoolKey{"myfonts", &OptionValues::myfonts, true},
    BoolKey{"snd_awi", &OptionValues::snd_awi, true},
    BoolKey{"std_col", &OptionValues::std_col, true},
    IntKey{"wnd_max", &OptionValues::wnd_max, true},
    IntKey{"c__left", &OptionValues::c__left, true},
    IntKey{"c___top", &OptionValues::c___top, true},
    IntKey{"c_width", &OptionValues::c_width, true},
    IntKey{"c_heigh", &OptionValues::c_heigh, true},
    TextKey{"user_active_str", &OptionValues::user_active_str, true},
    TextKey{"sliderpos", &OptionValues::sliderpos, false},
    BoolKey{"CheckBoxBt", &OptionValues::CheckBoxBt, true},
    BoolKey{"CheckBoxSaveSt", &OptionValues::CheckBoxSaveSt, true},
    IntKey{"oldstatus", &OptionValues::oldstatus, true},
    BoolKey{"CheckBox6", &OptionValues::CheckBox6, true},
    BoolKey{"CheckBox8", &OptionValues::CheckBox8, true},
    BoolKey{"CheckBox_log", &OptionValues::CheckBox_log, true},
    BoolKey{"CheckBox_msg", &OptionValues::CheckBox_msg, true},
    BoolKey{"CheckBox_let", &OptionValues::CheckBox_let, true},
    BoolKey{"CheckBox_usedns", &OptionValues::CheckBox_usedns, true},
    BoolKey{"CheckBox_iponly", &OptionValues::CheckBox_iponly, true},
    TextKey{"soundfile", &OptionValues::soundfile, false},
};

const char *const kLegacyPrefixes[5] = {"user_name", "user_addr", "user_port", "user_add1", "user_add2"};

// A decimal integer as the profile functions read it; std::nullopt when it is not one.
std::optional<int> toInt(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

SettingsFile::SettingsFile(QString settingsPath, QString listPath, UserPrompt *prompt, const DebugLog *log)
    : m_settingsPath(std::move(settingsPath))
    , m_listPath(std::move(listPath))
    , m_prompt(prompt)
    , m_log(log)
{
}

OptionValues SettingsFile::readValues(const IniFile &ini)
{
    OptionValues values;
    for (const Key &key : kKeys) {
        std::visit([&](const auto &k) {
            const auto text = ini.value(kOptions, QString::fromLatin1(k.key));
            using K = std::decay_t<decltype(k)>;
            if constexpr (std::is_same_v<K, TextKey>) {
                if (text)
                    values.*k.field = *text;
            } else if constexpr (std::is_same_v<K, IntKey>) {
                if (const auto n = toInt(text))
                    values.*k.field = *n;
            } else {
                if (const auto n = toInt(text))
                    values.*k.field = *n != 0;
            }
        }, key);
    }
    return values;
}

void SettingsFile::writeValues(const OptionValues &values, IniFile &ini)
{
    for (const Key &key : kKeys) {
        std::visit([&](const auto &k) {
            if (!k.saved)
                return;
            using K = std::decay_t<decltype(k)>;
            QString text;
            if constexpr (std::is_same_v<K, TextKey>)
                text = values.*k.field;
            else if constexpr (std::is_same_v<K, IntKey>)
                text = QString::number(values.*k.field);
            else
                text = values.*k.field ? QStringLiteral("1") : QStringLiteral("0");
            ini.setValue(kOptions, QString::fromLatin1(k.key), text);
        }, key);
    }
}

QString SettingsFile::legacyKey(const char *prefix, int row)
{
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0'));
}

ListFile::Table SettingsFile::readLegacyList(const IniFile &ini)
{
    ListFile::Table table;
    for (int row = 0; row < ListFile::kRows; ++row)
        for (int c = 0; c < 5; ++c)
            table[row][c] = ini.value(kOptions, legacyKey(kLegacyPrefixes[c], row)).value_or(QString());
    return table;
}

void SettingsFile::removeLegacyList(IniFile &ini)
{
    for (int row = 0; row < ListFile::kRows; ++row)
        for (const char *prefix : kLegacyPrefixes)
            ini.remove(kOptions, legacyKey(prefix, row));
}

OptionValues SettingsFile::loadsettings(ContactTable &table) const
{
    if (m_log)
        (*m_log)(QStringLiteral("tform3 readctl"));
    const IniFile ini = IniFile::load(m_settingsPath);
    OptionValues values = readValues(ini);
    loadlist(ini, table);
    return values;
}

void SettingsFile::loadlist(const IniFile &ini, ContactTable &table) const
{
    ListFile::Table cells = readLegacyList(ini);
    const bool useList = toInt(ini.value(kOptions, QStringLiteral("use_list"))).value_or(0) != 0;
    if (useList) {
        QFile file(m_listPath);
        if (file.open(QIODevice::ReadOnly)) {
            cells = ListFile::decode(file.read(qint64(ListFile::kRows) * ListFile::kRecordSize), cells);
        } else if (m_prompt) {
            m_prompt->message(QStringLiteral("Error read userlist!"));
        }
    }
    table.setCells(cells);
}

void SettingsFile::removeStaleSaves(const QString &path)
{
    // A copy killed in the middle of a save leaves its half-written "<file>.XXXXXX" beside the
    // file (the file itself is intact: it is only ever replaced by a rename). The data folder
    // belongs to one running copy, so any such file is a leftover and goes before the next save.
    const QFileInfo file(path);
    const QDir folder = file.absoluteDir();
    const QStringList stale = folder.entryList({file.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QString &name : stale)
        QFile::remove(folder.filePath(name));
}

void SettingsFile::savesettings(const OptionValues &values, const ContactTable &table) const
{
    removeStaleSaves(m_listPath);
    removeStaleSaves(m_settingsPath);
    IniFile ini = IniFile::load(m_settingsPath);
    writeValues(values, ini);

    // The list file is written first and the settings only after it: the settings then never
    // say "use_list" while the list still lives only in the legacy keys they no longer hold.
    QSaveFile list(m_listPath);
    const QByteArray bytes = ListFile::encode(table.cells());
    const bool listWritten = list.open(QIODevice::WriteOnly) && list.write(bytes) == bytes.size() && list.commit();
    if (listWritten) {
        const bool useList = toInt(ini.value(kOptions, QStringLiteral("use_list"))).value_or(0) != 0;
        if (!useList)
            removeLegacyList(ini);
        ini.setValue(kOptions, QStringLiteral("use_list"), QStringLiteral("1"));
    }
    ini.save(m_settingsPath); // a settings file that cannot be written loses the change silently
    if (!listWritten && m_prompt)
        m_prompt->message(QStringLiteral("Error write settings!"));
}

QString SettingsFile::readKey(const QString &key, const QString &fallback) const
{
    return IniFile::load(m_settingsPath).value(kOptions, key).value_or(fallback);
}

void SettingsFile::writeKey(const QString &key, const QString &value) const
{
    IniFile ini = IniFile::load(m_settingsPath);
    ini.setValue(kOptions, key, value);
    ini.save(m_settingsPath);
}
