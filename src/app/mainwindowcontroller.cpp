#include "mainwindowcontroller.h"

#include "parlixapp.h"

#include "activitymonitor.h"
#include "settingscontroller.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "contacts/settingsfile.h"
#include "platform/rtf/rtfdocument.h"
#include "presence/composer.h"
#include "presence/fontoptions.h"
#include "presence/presence.h"
#include "presence/roster.h"
#include "ui/dialogs.h"
#include "ui/inputeditor.h"
#include "ui/tform1.h"
#include "ui/tform2.h"
#include "ui/tform3.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

MainWindowController::MainWindowController(ParlixApp &app, SettingsFile &settings, Dialogs &dialogs,
                                           QString programFolder)
    : m_app(app)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_form2(*app.form2())
    , m_programFolder(std::move(programFolder))
{
    connectConversation();
    connectComposing();
    connectWindow();
}

void MainWindowController::connectConversation()
{
    connect(&m_form2, &TForm2::linkClicked, this, [this](const QString &link) {
        if (m_dialogs.question(QStringLiteral("Открыть файл/ссылку?")))
            QDesktopServices::openUrl(QUrl::fromUserInput(link));
    });
    connect(&m_form2, &TForm2::saveConversationRequested, this, [this] {
        if (Dialogs::headless())
            return;
        const QString path = QFileDialog::getSaveFileName(&m_form2, QString(), QStringLiteral("file1.rtf"),
                                                          QStringLiteral("All files (*);;DOC files (*.doc);;XLS files (*.xls)"));
        if (!path.isEmpty())
            RtfDocument::saveFile(*m_form2.RichEdit1()->document(), path);
    });
    connect(&m_form2, &TForm2::printConversationRequested, this, [this] {
        if (Dialogs::headless())
            return;
        QPrinter printer;
        printer.setDocName(QStringLiteral("messages"));
        QPrintDialog dialog(&printer, &m_form2);
        if (dialog.exec() == QDialog::Accepted)
            m_form2.RichEdit1()->document()->print(&printer);
    });
    connect(&m_form2, &TForm2::conversationFontRequested, this, &MainWindowController::chooseConversationFont);
}

void MainWindowController::connectComposing()
{
    connect(&m_form2, &TForm2::sendRequested, this, [this] {
        m_app.composer().Button1Click();
        m_form2.syncFontControls();
    });
    connect(&m_form2, &TForm2::letterModeChanged, this, [this](bool on) { m_app.composer().letterMode = on; });
    connect(&m_form2, &TForm2::sendFileRequested, this, &MainWindowController::sendFile);
    connect(&m_form2, &TForm2::inputFontRequested, this, &MainWindowController::chooseInputFont);
    connect(&m_form2, &TForm2::inputFontChanged, this, [this](const QTextCharFormat &font) {
        m_app.options().modify([&font](OptionValues &values) { FontOptions::storeInputFont(values, font); });
    });
    connect(&m_form2, &TForm2::rosterSelectionChanged, this, [this](const QSet<int> &selected) {
        m_app.roster().setSelectedItems(selected);
        m_app.roster().keepselection();
    });
}

void MainWindowController::connectWindow()
{
    connect(&m_form2, &TForm2::closeRequested, &m_app, &ParlixApp::requestShutdown);
    connect(&m_form2, &TForm2::statusChosen, this, [this](int status) {
        // Away chosen while auto-away holds the status asks for no auto-answer text either.
        m_app.presence().ComboBox1Change(status, m_app.activity().autoAwayMark());
    });
    connect(&m_form2, &TForm2::helpRequested, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile(m_programFolder)));
    });
    connect(&m_form2, &TForm2::settingsRequested, this, &MainWindowController::openSettings);
    connect(&m_form2, &TForm2::inputHeightChanged, this, [this](int height) {
        m_settings.writeKey(QStringLiteral("sliderpos"), QString::number(height));
    });
    connect(&m_app.options(), &Options::changed, this, [this] { m_form2.applyOptions(m_app.options().values()); });
    connect(&m_app.roster(), &Roster::rebuilt, this, &MainWindowController::showRoster);
    connect(m_app.form1(), &TForm1::applicationActivated, &m_form2, &TForm2::a_activate);
}

void MainWindowController::placeWindow(const OptionValues &values)
{
    m_form2.applyPlacement(values);
    m_form2.applyOptions(values);
    m_form2.setMenuShown(values.menu_on);
    m_form2.setInputHeight(values.sliderHeight());
    m_form2.applyInputFont(FontOptions::inputFont(values));
}

void MainWindowController::storeWindow(OptionValues &values) const
{
    m_form2.storePlacement(values);
    values.menu_on = m_form2.menuShown();
}

void MainWindowController::showRoster()
{
    QList<TForm2::RosterEntry> entries;
    const ContactTable &table = m_app.table();
    for (const QString &item : m_app.roster().items()) {
        const int row = item.toInt();
        const bool separator = ContactTable::isSeparatorForRoster(table.cell(row, ContactTable::Address));
        entries.append({table.cell(row, ContactTable::Name), table.user(row)->status, separator});
    }
    m_form2.showRoster(entries, m_app.roster().selectedItems());
}

void MainWindowController::sendFile()
{
    if (!m_app.composer().hasRecipients())
        return;
    if (!m_dialogs.question(QStringLiteral("Выбрали кому посылать?")))
        return;
    QString folder = m_settings.readKey(QStringLiteral("readfiledir"), QStringLiteral("1"));
    if (!QFileInfo(folder).isDir())
        folder.clear(); // "1" names no folder: the dialog opens where the desktop chooses
    const QStringList files = QFileDialog::getOpenFileNames(
        &m_form2, QString(), folder, QStringLiteral("All files (*);;DOC files (*.doc);;XLS files (*.xls)"));
    if (files.isEmpty())
        return;
    m_settings.writeKey(QStringLiteral("readfiledir"), QFileInfo(files.first()).absolutePath());
    m_form2.RxSpeedButton6()->setEnabled(false);
    m_app.composer().sendFiles(files);
    m_form2.RxSpeedButton6()->setEnabled(true);
}

void MainWindowController::chooseConversationFont()
{
    if (Dialogs::headless())
        return;
    const OptionValues &v = m_app.options().values();
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, FontOptions::conversationFont(v, QColor()).font(), &m_form2,
                                            QStringLiteral("Шрифт сообщений"));
    if (!ok)
        return;
    QTextCharFormat format;
    format.setFont(font);
    m_app.options().modify([&format](OptionValues &values) { FontOptions::storeConversationFont(values, format); });
    m_app.savesettings();
}

void MainWindowController::chooseInputFont()
{
    if (Dialogs::headless())
        return;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_form2.inputFont().font(), &m_form2, QStringLiteral("Шрифт ввода"));
    if (!ok)
        return;
    QTextCharFormat format = m_form2.inputFont();
    format.setFont(font);
    format.setFontUnderline(font.underline());
    m_form2.applyInputFont(format);
    m_app.options().modify([&format](OptionValues &values) { FontOptions::storeInputFont(values, format); });
    m_app.savesettings();
}

void MainWindowController::openSettings()
{
    // The window saves and restarts by itself when it closes; the main window then scrolls.
    if (m_app.form3())
        m_app.settingsController().open();
}

QString MainWindowController::helpFile(const QString &programFolder)
{
    const QString beside = QDir(programFolder).filePath(QStringLiteral("parlix.htm"));
    const QString installed = QDir(programFolder).filePath(QStringLiteral("../share/doc/parlix/parlix.htm"));
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : QDir::cleanPath(installed);
}
