#pragma once

#include "app/commandline.h"
#include "app/datapaths.h"
#include "app/debuglog.h"
#include "net/transportcontext.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <QObject>

#include <memory>
#include <vector>

class ActivityMonitor;
class AppTransportHost;
class MainWindowController;
class Arrival;
class Composer;
class AutoAnswer;
class PresenceJob;
class Presence;
class Roster;
class WindowPresenceView;
class ContactTable;
class Dialogs;
class MainThreadCall;
class Options;
class ReceivingServer;
class SendJobs;
class UserPrompt;
class SettingsFile;
class SettingsController;
class AddressExchange;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm7;
class TForm11;

// One running copy of the program: its windows, options, contact table, listener and jobs. It
// creates them in their fixed order, initialises (`initall`) and runs the one shutdown sequence.
// Tests can run two of them side by side on two loopback addresses.
class ParlixApp : public QObject
{
    Q_OBJECT
public:
    ParlixApp(CommandLine commandLine, QString programFolder, QObject *parent = nullptr);
    ~ParlixApp() override;

    // Creates everything in order. False when the copy must end at once (send mode, port busy).
    bool start();
    void requestShutdown();

    void initall();
    void savesettings();
    void writehistory();
    void startoffline();
    void applyautorun();

    const DataPaths &paths() const { return m_paths; }
    const DebugLog &log() const { return m_log; }
    Options &options() { return *m_options; }
    ContactTable &table() { return *m_table; }
    ReceivingServer &server() { return *m_server; }
    SendJobs &jobs() { return *m_jobs; }
    UserPrompt &prompt();
    TransportContext &transport() { return m_transport; }
    TForm1 *form1() const { return m_form1.get(); }
    TForm2 *form2() const { return m_form2.get(); }
    TForm3 *form3() const { return m_form3.get(); }
    TForm5 *form5() const { return m_form5.get(); }
    TForm7 *form7() const { return m_form7.get(); }
    MainWindowController *mainWindow() const { return m_mainWindow.get(); }
    TForm11 *form11() const { return m_form11.get(); }
    SettingsController &settingsController() { return *m_settingsController; }
    AddressExchange &addressExchange() { return *m_addressExchange; }
    Presence &presence() { return *m_presence; }
    Roster &roster() { return *m_roster; }
    AutoAnswer &autoAnswer() { return *m_autoAnswer; }
    Arrival &arrival() { return *m_arrival; }
    Composer &composer() { return *m_composer; }
    ActivityMonitor &activity() { return *m_activity; }
    // The activity library watches the desktop's input: auto-away works, and the settings window
    // enables its idle-seconds field.
    bool activityAvailable() const;
    // Letter windows live until the user closes them, or until the copy goes away.
    void adoptLetter(QWidget *letter);
    QList<QWidget *> letters() const;
    QString namefield() const; // as the settings window last rebuilt it
    int runningJobs() const;
    bool initialised() const { return m_initialised; }
    bool shuttingdown() const { return m_shuttingdown; }
    bool offlinerunning() const { return m_offlinerunning; }
    int ownStatus() const;
    int presenceJobsRunning() const { return int(m_presenceJobs.size()); }

    static QString makeNamefield(const QString &name);
    static QString historyFileName(const QDateTime &now);

signals:
    void finished(); // the shutdown sequence is over, or the copy ended at start
    // What arrived, for the parts that show it and for tests.
    void messageArrived(const QString &path, const QString &peerip, bool letter);
    void systemMessageArrived(const QByteArray &text, const QString &peerip);
    void noticeArrived(const QByteArray &text, const QString &sender, int code, const QString &peerip);
    void lineAdded(const QString &text, const QColor &colour);
    void peerUnreachable(const QString &address);
    void statusFieldChanged(const QString &text);

private:
    void createRoot();
    void createMainWindow();
    void openListener();
    void FormCloseQuery();
    void pumpEvents(int milliseconds);
    void runSendMode();
    void startPresenceJob(PresenceJob *job, bool offline);

    CommandLine m_commandLine;
    QString m_programFolder;
    DataPaths m_paths;
    DebugLog m_log;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<MainThreadCall> m_mainThread;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<ContactTable> m_table;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<AutoAnswer> m_autoAnswer;
    std::unique_ptr<Roster> m_roster;
    std::unique_ptr<WindowPresenceView> m_presenceView;
    std::unique_ptr<Presence> m_presence;
    std::vector<PresenceJob *> m_presenceJobs;
    std::unique_ptr<Arrival> m_arrival;
    std::unique_ptr<Composer> m_composer;
    QList<QPointer<QWidget>> m_letters;
    TransportContext m_transport;
    std::unique_ptr<AppTransportHost> m_transportHost;
    std::unique_ptr<SendJobs> m_jobs;
    std::unique_ptr<ReceivingServer> m_server;
    std::unique_ptr<ActivityMonitor> m_activity; // outlives the windows: TForm7 unloads it
    // Windows, destroyed in the reverse order of their creation.
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm3> m_form3;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TForm5> m_form5;
    std::unique_ptr<TForm7> m_form7;
    std::unique_ptr<TForm11> m_form11;
    std::unique_ptr<MainWindowController> m_mainWindow;
    std::unique_ptr<SettingsController> m_settingsController; // after the windows: it goes first
    std::unique_ptr<AddressExchange> m_addressExchange;

    QString m_namefield;
    bool m_initialised = false;
    bool m_restartNeeded = false;
    bool m_shuttingdown = false;
    bool m_offlinerunning = false;
    bool m_terminating = false; // the copy was told to end (port busy, send mode, shutdown)
    bool m_endAtStart = false;
};
