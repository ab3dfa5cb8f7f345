// libFuzzer target: system messages from peers through analyze1 and checkpeer on a contact table.
// The first byte chooses the options (numeric addresses only, everyone may connect, a full table)
// and the peers' addresses; the rest is up to eight messages separated by zero bytes (a received
// text never holds one), handled one after another on the same table. Replies are not sent: the
// send jobs are stopped, so nothing leaves the process.
#include "app/debuglog.h"
#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "net/sendjobs.h"
#include "net/systemmessage.h"
#include "net/transportcontext.h"
#include "presence/autoanswer.h"
#include "presence/presence.h"
#include "presence/presenceview.h"
#include "presence/roster.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

namespace {

class QuietView : public PresenceView
{
public:
    void appendLine(const QString &text, const QTextCharFormat &) override { lines += text.size(); }
    bool mainWindowActive() const override { return false; }
    bool settingsWindowExists() const override { return true; }
    bool settingsWindowActive() const override { return false; }
    void closeSettingsWindow() override {}
    void raiseMainWindow() override {}
    void setAttentionMark(bool) override {}
    void beep(Beep, int count, const QString &) override
    {
        if (count < 0 || count > 20)
            __builtin_trap();
    }
    void showOwnStatus(int, const QColor &) override {}
    void askAutoAnswerText() override {}
    QString progressText() const override { return {}; }
    void setProgressText(const QString &) override {}
    qsizetype lines = 0;
};

const char *const kIps[] = {"127.0.6.1", "127.0.6.2", "127.0.6.3", "127.0.6.4"};
const char *const kHosts[] = {"", "pc7", "PC7 ", "127.0.6.2"};

int usedRows(const ContactTable &table)
{
    int used = 0;
    for (int row = 1; row < ContactTable::MAXUSERS; ++row)
        used += !table.cell(row, ContactTable::Address).isEmpty();
    return used;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The notice lines carry a font, which needs a GUI application; no screen is needed.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t flags = data[0];
    DebugLog log;
    Options options;
    options.modify([flags](OptionValues &v) {
        v.CheckBox_iponly = flags & 1;
        v.allaccs = flags & 2;
    });
    TransportContext context;
    context.log = &log;
    context.options = &options;
    context.abort = true; // no send job starts
    SendJobs jobs(context);
    ContactTable table;
    Roster roster(table);
    QuietView view;
    AutoAnswer autoAnswer;
    Presence presence({&table, &roster, &options, &jobs, &log, &view, &autoAnswer, [] { return false; },
                       [] { return false; }});
    table.setCell(1, ContactTable::Name, QStringLiteral("Anna"));
    table.setCell(1, ContactTable::Address, QStringLiteral("127.0.6.1"));
    table.setCell(2, ContactTable::Address, QStringLiteral("-"));
    table.setCell(3, ContactTable::Address, QStringLiteral("pc7"));
    table.setCell(4, ContactTable::Address, QStringLiteral(" 127.0.6.3 "));
    if (flags & 4)
        for (int row = 5; row < ContactTable::MAXUSERS; ++row)
            table.setCell(row, ContactTable::Address, QStringLiteral("10.0.0.%1").arg(row));
    presence.setNamefield(SystemMessage::namefield(QStringLiteral("Me")));

    const QByteArrayView rest(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1);
    qsizetype at = 0;
    for (int i = 0; i < 8 && at <= rest.size(); ++i) {
        const qsizetype zero = rest.indexOf('\0', at);
        const qsizetype end = zero < 0 ? rest.size() : zero;
        const QByteArray text = rest.sliced(at, end - at).toByteArray();
        at = end + 1;
        const int before = usedRows(table);
        presence.analyze1(text, QString::fromLatin1(kIps[((flags >> 3) + i) & 3]),
                          QString::fromLatin1(kHosts[((flags >> 5) + i) & 3]));
        const int after = usedRows(table);
        if (after < before || after > before + 1)
            __builtin_trap(); // one message adds at most one contact and never frees a row
        for (int row = 1; row < ContactTable::MAXUSERS; ++row) {
            const QString address = table.cell(row, ContactTable::Address);
            if (table.cell(row, ContactTable::Name).size() > 15 && row != 1)
                __builtin_trap(); // a name comes from a 15-character field
            if (table.cell(row, ContactTable::Extra).size() > 446)
                __builtin_trap();
            if (table.user(row)->connected && (address.isEmpty() || address == QLatin1String("-")))
                __builtin_trap();
            if (table.user(row)->status < 0 || table.user(row)->status > 2)
                __builtin_trap();
        }
        roster.rebuildroster();
    }
    return 0;
}
