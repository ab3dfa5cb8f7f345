#include "parlixapp.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "contacts/settingsfile.h"
#include "activitymonitor.h"
#include "addressexchange.h"
#include "apptransporthost.h"
#include "mainwindowcontroller.h"
#include "settingscontroller.h"
#include "windowpresenceview.h"
#include "presence/arrival.h"
#include "presence/composer.h"
#include "presence/autoanswer.h"
#include "presence/presence.h"
#include "presence/presencejob.h"
#include "presence/roster.h"
#include "net/systemmessage.h"
#include "net/receivingserver.h"
#include "net/sendjobs.h"
#include "platform/autostart.h"
#include "platform/rtf/rtfdocument.h"
#include "platform/mainthreadcall.h"
#include "ui/dialogs.h"
#include "ui/tform1.h"
#include "ui/tform11.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/tform4.h"
#include "ui/tform5.h"
#include "ui/tform7.h"

#include <QApplication>
#include <QFileInfo>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

ParlixApp::ParlixApp(CommandLine commandLine, QString programFolder, QObject *parent)
    : QObject(parent)
    , m_commandLine(std::move(commandLine))
    , m_programFolder(std::move(programFolder))
    , m_paths(DataPaths::chooseFolder(m_commandLine.home, m_programFolder))
    , m_log(m_paths.logFile())
{
    m_paths.ensureFolder();
    m_dialogs = std::make_unique<Dialogs>(&m_log);
    m_mainThread = std::make_unique<MainThreadCall>();
    m_options = std::make_unique<Options>();
    m_table = std::make_unique<ContactTable>();
    m_settings = std::make_unique<SettingsFile>(m_paths.settingsFile(), m_paths.listFile(), m_dialogs.get(), &m_log);
    m_transportHost = std::make_unique<AppTransportHost>(*this);
    m_transport.log = &m_log;
    m_transport.mainThread = m_mainThread.get();
    m_transport.options = m_options.get();
    m_transport.host = m_transportHost.get();
    if (!m_commandLine.listen.isEmpty())
        m_transport.localAddress = QHostAddress(m_commandLine.listen);
    m_jobs = std::make_unique<SendJobs>(m_transport);
    m_transport.jobs = m_jobs.get();
    m_server = std::make_unique<ReceivingServer>(m_transport);
    m_autoAnswer = std::make_unique<AutoAnswer>();
    m_roster = std::make_unique<Roster>(*m_table);
    m_presenceView = std::make_unique<WindowPresenceView>(*this);
    m_presence = std::make_unique<Presence>(Presence::Parts{m_table.get(), m_roster.get(), m_options.get(), m_jobs.get(),
                                                            &m_log, m_presenceView.get(), m_autoAnswer.get(),
                                                            [this] { return m_terminating; },
                                                            [this] { return m_shuttingdown; }});
    m_table->setHooks(m_presence.get());
    m_arrival = std::make_unique<Arrival>(*m_presence, *m_table, *m_roster, *m_options, m_log, *m_presenceView,
                                          m_paths.incomeFolder());
    m_composer = std::make_unique<Composer>(*m_presence, *m_table, *m_options, *m_jobs, m_log, *m_presenceView);
    m_activity = std::make_unique<ActivityMonitor>(
        ActivityMonitor::Parts{m_presence.get(), m_autoAnswer.get(), m_options.get(), &m_log, m_dialogs.get()});
    connect(m_options.get(), &Options::changed, this, [this] { m_log.setEnabled(m_options->values().CheckBox_log); });
}

ParlixApp::~ParlixApp()
{
    for (const QPointer<QWidget> &letter : std::as_const(m_letters))
        delete letter.data(); // windows made on demand go first
    // Workers first let go of the main thread, then every wait of theirs ends, then they are joined.
    m_transport.abort = true;
    m_mainThread->shutdown();
    m_jobs->shutdown();
    for (PresenceJob *job : m_presenceJobs) {
        job->wait();
        delete job;
    }
    m_server.reset();
    m_table->setHooks(nullptr);
}

void ParlixApp::adoptLetter(QWidget *letter)
{
    m_letters.append(letter);
}

QList<QWidget *> ParlixApp::letters() const
{
    QList<QWidget *> open;
    for (const QPointer<QWidget> &letter : m_letters)
        if (letter)
            open.append(letter);
    return open;
}

bool ParlixApp::activityAvailable() const
{
    return m_activity->available();
}

int ParlixApp::ownStatus() const
{
    return m_presence->ownStatus();
}

void ParlixApp::startPresenceJob(PresenceJob *job, bool offline)
{
    m_presenceJobs.push_back(job);
    connect(job, &QThread::finished, this, [this, job, offline] {
        auto it = std::find(m_presenceJobs.begin(), m_presenceJobs.end(), job);
        if (it == m_presenceJobs.end())
            return;
        m_presenceJobs.erase(it);
        job->wait();
        job->deleteLater();
        if (offline && std::none_of(m_presenceJobs.begin(), m_presenceJobs.end(),
                                    [](PresenceJob *j) { return qobject_cast<GoOfflineThread *>(j) != nullptr; }))
            m_offlinerunning = false;
    });
    job->start(offline ? QThread::LowPriority : QThread::LowestPriority);
}

UserPrompt &ParlixApp::prompt()
{
    return *m_dialogs;
}

int ParlixApp::runningJobs() const
{
    return m_jobs->running();
}

bool ParlixApp::start()
{
    createRoot();
    createMainWindow();
    m_form3 = std::make_unique<TForm3>();
    m_log.setSettingsWindowExists(true);
    m_settingsController = std::make_unique<SettingsController>(*this);
    m_form3->setIdleFieldAvailable(activityAvailable());
    connect(m_form3.get(), &QDialog::finished, m_form2.get(), &TForm2::scrolltoend);
    m_addressExchange = std::make_unique<AddressExchange>(*this);
    m_form4 = std::make_unique<TForm4>();
    m_form5 = std::make_unique<TForm5>();
    m_form5->setSource([this] {
        return TForm5::Counters{m_server->isActive(), m_server->activeConnections(), m_jobs->running()};
    });
    connect(m_form5.get(), &TForm5::receiving, m_form2.get(), &TForm2::setReceiveIndicator);
    connect(m_form2.get(), &TForm2::debugWindowRequested, this, [this] {
        m_form5->setGeometry(1, 1, 300, 400);
        m_form5->show();
    });
    connect(m_form2.get(), &TForm2::infoRequested, this, [this] { m_form4->exec(); });
    m_form7 = std::make_unique<TForm7>();
    connect(m_form7.get(), &TForm7::answerChosen, this, [this](const QString &text) { m_autoAnswer->armWith(text); });
    connect(m_form7.get(), &QObject::destroyed, this, [this] { m_activity->unloadLibrary(); });
    initall();
    m_form11 = std::make_unique<TForm11>();
    if (m_endAtStart) {
        // The event loop starts and stops at once, without the shutdown sequence.
        QTimer::singleShot(0, this, &ParlixApp::finished);
        return false;
    }
    if (!TForm2::hasTray())
        m_form2->show();
    return true;
}

void ParlixApp::createRoot()
{
    m_form1 = std::make_unique<TForm1>();
    m_log.setRootCreated();
    m_log(QStringLiteral("tform1 begin"));
    m_form1->hide();
    m_log(QStringLiteral("tform1 end"));
    connect(m_form1.get(), &TForm1::FormCloseQuery, this, &ParlixApp::FormCloseQuery);
    connect(m_form1.get(), &TForm1::tick, this, [this] {
        // Stopped meanwhile: a status broadcast handles events, and a tick must not run inside one.
        m_form1->Timer1()->stop();
        if (m_terminating)
            return;
        if (m_roster->rosterdirty) {
            m_roster->rosterdirty = false;
            m_roster->rebuildroster();
        }
        m_activity->poll(m_form3 != nullptr);
        if (!m_terminating && !m_shuttingdown)
            m_form1->Timer1()->start();
    });
}

void ParlixApp::createMainWindow()
{
    m_form2 = std::make_unique<TForm2>();
    m_form2->setLog([this](const QString &text) { m_log(text); });
    m_log(QStringLiteral("TForm2::FormCreate begin"));
    m_shuttingdown = false;
    m_initialised = false;
    m_form2->ComboBox1()->setCurrentIndex(0);
    m_log(QStringLiteral("TForm2::FormCreate end"));
    m_namefield.clear();
    m_log(QStringLiteral("tform2 begin"));
    m_log(QStringLiteral("hooks begin"));
    if (!m_commandLine.sendMode()) {
        m_log(QStringLiteral("hook start"));
        m_activity->loadLibrary(m_programFolder);
        if (m_activity->available())
            m_form1->Timer1()->start();
        m_log(QStringLiteral("hook end"));
    }
    m_log(QStringLiteral("hooks end"));
    m_form2->setWindowTitle(QStringLiteral("Parlix v") + QStringLiteral(PARLIX_VERSION));
    m_form2->hide();
    if (m_commandLine.sendMode())
        runSendMode();
    m_log(QStringLiteral("tform2 begin icons_refresh();"));
    m_form2->icons_refresh();
    m_mainWindow = std::make_unique<MainWindowController>(*this, *m_settings, *m_dialogs, m_programFolder);
    if (!m_commandLine.sendMode())
        openListener();
    m_log(QStringLiteral("tform2 end"));
}

void ParlixApp::runSendMode()
{
    // One text notice, then the program ends: it never initialises, so nothing is saved.
    m_jobs->sendfileto4(m_commandLine.sendText(), m_commandLine.sendSender(), m_commandLine.sendAddress());
    QCoreApplication::processEvents();
    QElapsedTimer waited;
    waited.start();
    while (m_jobs->running() != 0 && waited.elapsed() < 10000)
        pumpEvents(50);
    requestShutdown();
    m_endAtStart = true;
    m_terminating = true;
}

void ParlixApp::openListener()
{
    m_log(QStringLiteral("tform2 begin ServerSocket1->Active=true;"));
    QHostAddress address(QHostAddress::AnyIPv4);
    if (!m_commandLine.listen.isEmpty())
        address = QHostAddress(m_commandLine.listen);
    if (address.isNull() || !m_server->open(address)) {
        m_log(QStringLiteral("tform2 begin ServerSocket1->Active=true - app->terminate"));
        m_terminating = true;
        m_endAtStart = true;
        m_log(QStringLiteral("tform2 begin ServerSocket1->Active=true - app->terminate ok"));
        return;
    }
    m_log(QStringLiteral("tform2 begin ServerSocket1->Active=true; ok"));
}

QString ParlixApp::namefield() const
{
    return m_presence->namefield();
}

QString ParlixApp::makeNamefield(const QString &name)
{
    return SystemMessage::namefield(name);
}

void ParlixApp::initall()
{
    m_log(QStringLiteral("initall begin"));
    if (m_commandLine.sendMode())
        return;
    m_restartNeeded = false;
    m_initialised = true;
    OptionValues values = m_settings->loadsettings(*m_table);
    m_options->setValues(values);
    applyautorun();
    m_mainWindow->placeWindow(values);
    m_form2->setInitialised(true);
    m_roster->rebuildroster();
    m_autoAnswer->disarm();
    m_table->setHeaderTitles();
    m_namefield = makeNamefield(values.usernam);
    m_presence->setNamefield(m_namefield);
    int status = m_presence->ownStatus();
    if (values.CheckBoxSaveSt && values.oldstatus >= 0 && values.oldstatus <= 2)
        status = values.oldstatus;
    m_presence->setInitialStatus(status);
    const PresenceJob::Own own{values.usernam,
                               SystemMessage::onlineQuery(m_namefield, status, values.add_inf)};
    startPresenceJob(new OnlineThread(m_transport, m_table->snapshot(), own), false);
    if (m_settingsController)
        m_settingsController->showownaddress();
    m_log(QStringLiteral("initall end"));
}

void ParlixApp::applyautorun()
{
    // The login session starts the entry in the home folder: the data folder goes in as an
    // absolute path, whatever the command line said.
    QStringList arguments = m_commandLine.ownOptions;
    for (qsizetype i = 0; i + 1 < arguments.size(); i += 2)
        if (arguments.at(i) == QLatin1String("--home"))
            arguments[i + 1] = m_paths.folder();
    Autostart::apply(m_options->values().autorun, Autostart::launcher(QCoreApplication::applicationFilePath()),
                     arguments);
}

void ParlixApp::savesettings()
{
    m_options->modify([this](OptionValues &values) {
        m_mainWindow->storeWindow(values);
        values.oldstatus = m_presence->ownStatus();
    });
    m_settings->savesettings(m_options->values(), *m_table);
}

QString ParlixApp::historyFileName(const QDateTime &now)
{
    return QStringLiteral("log") + now.toString(QStringLiteral("yyyy-MM-dd--hh-mm-ss")) + QStringLiteral(".rtf");
}

void ParlixApp::writehistory()
{
    m_log(QStringLiteral("TForm1::writehistory beg"));
    if (!m_form3) {
        m_log(QStringLiteral("TForm1::writehistory form3=null"));
    } else if (!m_options->values().CheckBox_msg) {
        m_log(QStringLiteral("TForm1::writehistory Form3->CheckBox_msg->Checked=false"));
    } else {
        QDir().mkpath(m_paths.incomeFolder());
        RtfDocument::saveFile(*m_form2->RichEdit1()->document(),
                              QDir(m_paths.incomeFolder()).filePath(historyFileName(QDateTime::currentDateTime())));
    }
    m_log(QStringLiteral("TForm1::writehistory end"));
}

void ParlixApp::startoffline()
{
    m_offlinerunning = true;
    const PresenceJob::Own own{m_options->values().usernam, SystemMessage::offlineNotice()};
    startPresenceJob(new GoOfflineThread(m_transport, m_table->snapshot(), own), true);
}

void ParlixApp::requestShutdown()
{
    if (m_form1)
        m_form1->close();
}

void ParlixApp::pumpEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void ParlixApp::FormCloseQuery()
{
    m_log(QStringLiteral("TForm1::FormCloseQuery b"));
    m_log(m_terminating ? QStringLiteral("TForm1::FormCloseQuery terminated=TRUE")
                        : QStringLiteral("TForm1::FormCloseQuery terminated=FALSE"));
    m_form1->Timer1()->stop();
    m_form2->setTrayIgnoresClicks(true);
    writehistory();
    if (m_initialised)
        savesettings();
    if (m_server->isActive())
        startoffline();
    pumpEvents(1000);
    QElapsedTimer waited;
    waited.start();
    // The goodbyes to every connected peer get their ten seconds, whether or not a peer is still
    // talking to us: with many peers the notice outlasts the first second.
    while (m_offlinerunning && waited.elapsed() < 10000)
        pumpEvents(10);
    m_server->close();
    m_form2->removeTrayIcon();
    m_shuttingdown = true;
    m_transport.shuttingdown = true;
    m_mainThread->shutdown();
    m_terminating = true;
    m_log(QStringLiteral("Application->Terminated:"));
    m_log(QStringLiteral("TRUE"));
    m_log(QStringLiteral("TForm1::FormCloseQuery e"));
    emit finished();
}
