#include "inifile.h"

#include "platform/codepage.h"

#include <QFile>
#include <QSaveFile>

IniFile IniFile::parse(const QByteArray &bytes)
{
    IniFile ini;
    QString section;
    const QList<QByteArray> rawLines = bytes.split('\n');
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        QByteArray raw = rawLines[i];
        if (i == rawLines.size() - 1 && raw.isEmpty())
            break; // the final line break, not an empty last line
        if (raw.endsWith('\r'))
            raw.chop(1);
        Line line;
        line.text = CodePage::toUnicode(raw);
        const QString trimmed = line.text.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.contains(u']')) {
            section = trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed();
            line.header = true;
        } else if (!trimmed.startsWith(u';') && trimmed.contains(u'=')) {
            const int eq = line.text.indexOf(u'=');
            line.key = line.text.left(eq).trimmed();
            QString value = line.text.mid(eq + 1).trimmed();
            if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            line.value = value;
        }
        line.section = section;
        ini.m_lines.push_back(std::move(line));
    }
    return ini;
}

QByteArray IniFile::serialize() const
{
    QByteArray out;
    for (const Line &line : m_lines) {
        out += CodePage::fromUnicode(line.text);
        out += "\r\n";
    }
    return out;
}

IniFile IniFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return IniFile();
    return parse(file.readAll());
}

bool IniFile::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize();
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

int IniFile::find(const QString &section, const QString &key) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (!line.header && !line.key.isEmpty() && line.section.compare(section, Qt::CaseInsensitive) == 0
            && line.key.compare(key, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const int i = find(section, key);
    if (i < 0)
        return std::nullopt;
    return m_lines[i].value;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    Line line;
    line.text = key + u'=' + value;
    line.section = section;
    line.key = key;
    line.value = value;
    const int i = find(section, key);
    if (i >= 0) {
        line.section = m_lines[i].section;
        m_lines[i] = std::move(line);
        return;
    }
    // After the last key line of the section, or a new section at the end of the file.
    int last = -1;
    for (std::size_t j = 0; j < m_lines.size(); ++j) {
        if (m_lines[j].section.compare(section, Qt::CaseInsensitive) == 0
            && (m_lines[j].header || !m_lines[j].key.isEmpty()))
            last = int(j);
    }
    if (last < 0) {
        Line header;
        header.text = u'[' + section + u']';
        header.section = section;
        header.header = true;
        m_lines.push_back(std::move(header));
        m_lines.push_back(std::move(line));
        return;
    }
    line.section = m_lines[last].section;
    m_lines.insert(m_lines.begin() + last + 1, std::move(line));
}

void IniFile::remove(const QString &section, const QString &key)
{
    for (int i = find(section, key); i >= 0; i = find(section, key))
        m_lines.erase(m_lines.begin() + i);
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList out;
    for (const Line &line : m_lines) {
        if (!line.header && !line.key.isEmpty() && line.section.compare(section, Qt::CaseInsensitive) == 0)
            out << line.key;
    }
    return out;
}
