#include "settingscontroller.h"

#include "parlixapp.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "contacts/settingsfile.h"
#include "net/namelookup.h"
#include "presence/presence.h"
#include "presence/roster.h"
#include "ui/contactgridmodel.h"
#include "ui/dialogs.h"
#include "ui/inputeditor.h"
#include "ui/tform11.h"
#include "ui/tform2.h"
#include "ui/tform3.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <mutex>
#include <thread>

// Where a finished lookup delivers its line. The controller clears it when it goes, under the
// lock, so a lookup that ends later posts nothing.
struct SettingsController::LookupTarget
{
    std::mutex mutex;
    SettingsController *controller = nullptr;
};

SettingsController::SettingsController(ParlixApp &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_form(*app.form3())
    , m_model(std::make_unique<ContactGridModel>(app.table()))
    , m_lookupTarget(std::make_shared<LookupTarget>())
{
    m_lookupTarget->controller = this;
    m_form.setGridModel(m_model.get());
    m_form.StringGrid1->setCurrentIndex(m_model->index(0, 0));
    m_form.setLogPath(app.paths().logFile());
    m_app.log()(QStringLiteral("form3 create"));
    bindControls();
    showOptions();
    connect(&m_app.options(), &Options::changed, this, [this] {
        if (!m_writing)
            showOptions();
        // The colour switch acts only when it changes state, whether by the user or by loading.
        if (m_app.options().values().std_col != m_standardColours)
            applyStandardColours(m_app.options().values().std_col);
    });
}

SettingsController::~SettingsController()
{
    std::lock_guard lock(m_lookupTarget->mutex);
    m_lookupTarget->controller = nullptr;
}

template <typename Change>
void SettingsController::changeOptions(Change change)
{
    if (m_filling)
        return;
    m_writing = true;
    m_app.options().modify(change);
    m_writing = false;
}

void SettingsController::bindControls()
{
    TForm3 &f = m_form;
    m_flags = {
        {f.RxSwitch1, &OptionValues::allaccs},        {f.RxSwitch2, &OptionValues::std_col},
        {f.RxSwitch3, &OptionValues::showcon},        {f.RxSwitch4, &OptionValues::myfonts},
        {f.CheckBox4, &OptionValues::cb4},            {f.CheckBox7, &OptionValues::snd_awi},
        {f.CheckBox2, &OptionValues::cb2},            {f.CheckBox3, &OptionValues::cb3},
        {f.CheckBox1, &OptionValues::hidden0},        {f.RadioButton3, &OptionValues::rb3},
        {f.RadioButton4, &OptionValues::rb4},         {f.RadioButton5, &OptionValues::rb5},
        {f.RadioButton1, &OptionValues::rb1},         {f.autorun, &OptionValues::autorun},
        {f.CheckBoxSaveSt, &OptionValues::CheckBoxSaveSt}, {f.CheckBox6, &OptionValues::CheckBox6},
        {f.CheckBoxBt, &OptionValues::CheckBoxBt},    {f.CheckBox8, &OptionValues::CheckBox8},
        {f.CheckBox_log, &OptionValues::CheckBox_log}, {f.CheckBox_msg, &OptionValues::CheckBox_msg},
        {f.CheckBox_let, &OptionValues::CheckBox_let}, {f.CheckBox_iponly, &OptionValues::CheckBox_iponly},
        {f.CheckBox_usedns, &OptionValues::CheckBox_usedns},
    };
    m_texts = {
        {f.Edit1, &OptionValues::usernam},     {f.add_inf, &OptionValues::add_inf},
        {f.Edit_savedir, &OptionValues::savedir}, {f.Edit3, &OptionValues::countsn},
        {f.Edit4, &OptionValues::prefiks},     {f.user_active_str, &OptionValues::user_active_str},
    };
    m_colours = {
        {f.ColorComboBox1, &OptionValues::u_free},
        {f.ColorComboBox2, &OptionValues::u_busy},
        {f.ColorComboBox3, &OptionValues::u_offl},
    };
    for (const auto &[button, field] : m_flags)
        connect(button, &QAbstractButton::toggled, this,
                [this, button = button, field = field] { changeOptions([&](OptionValues &v) { v.*field = button->isChecked(); }); });
    // Every field reads the control's text as it stands: a handler may have changed it again.
    for (const auto &[edit, field] : m_texts)
        connect(edit, &QLineEdit::textChanged, this,
                [this, edit = edit, field = field] { changeOptions([&](OptionValues &v) { v.*field = edit->text(); }); });
    for (const auto &[picker, field] : m_colours)
        connect(picker, &QComboBox::currentIndexChanged, this, [this, picker = picker, field = field] {
            changeOptions([&](OptionValues &v) { v.*field = TForm3::pickerColour(picker); });
            if (!m_filling)
                emit m_app.roster().rebuilt(); // repaint the roster in the new colour at once
        });

    connect(f.Edit1, &QLineEdit::textChanged, this, [this] {
        if (!m_filling)
            namefieldFromEdit1();
    });
    connect(f.RxSpeedButton1, &QToolButton::clicked, this, [this] {
        m_app.presence().sendNameNotice();
        m_form.RxSpeedButton1->setEnabled(false);
    });
    connect(&f, &TForm3::shown, this, [this] {
        m_app.log()(QStringLiteral("form3 show"));
        namefieldFromEdit1();
        if (m_ownAddressStale)
            showownaddress();
    });

    connect(m_model.get(), &ContactGridModel::cellEdited, this, [this] {
        m_form.showRestartPanel(true);
        m_app.presence().rebuildroster();
    });
    connect(&f, &TForm3::rowMoved, this, [this](int from, int to) { m_app.table().moverow(from, to); });
    connect(f.Button3, &QPushButton::clicked, this, [this] {
        if (const int row = m_form.currentRow())
            m_app.table().deleterow(row);
    });
    connect(f.Button4, &QPushButton::clicked, this, [this] {
        if (const int row = m_form.currentRow())
            m_app.table().insertrow(row);
    });
    connect(f.Button5, &QPushButton::clicked, this, &SettingsController::insertSeparator);
    connect(f.Button7, &QPushButton::clicked, this, [this] {
        m_app.prompt().message(QStringLiteral("Для пересылки списка адресов другим пользователям\n"
                                              "Вы должны в основном окне обмена сообщениями выделить\n"
                                              "одного или нескольких пользователей и нажав правую кнопку\n"
                                              "мыши выбрать пункт 'передать список'"));
    });
    connect(f.Button6, &QPushButton::clicked, this, &SettingsController::chooseSound);
    connect(&f, &TForm3::usednsTouched, this, &SettingsController::showownaddress);
    connect(f.Button2, &QPushButton::clicked, this, &SettingsController::Button2Click);
    connect(&f, &QDialog::finished, this, &SettingsController::FormClose);
}

void SettingsController::showOptions()
{
    const OptionValues &values = m_app.options().values();
    m_filling = true;
    for (const auto &[button, field] : m_flags)
        button->setChecked(values.*field);
    for (const auto &[edit, field] : m_texts)
        if (edit->text() != values.*field)
            edit->setText(values.*field);
    for (const auto &[picker, field] : m_colours)
        TForm3::setPickerColour(picker, values.*field);
    m_filling = false;
}

void SettingsController::applyStandardColours(bool on)
{
    m_standardColours = on;
    TForm2 *form2 = m_app.form2();
    if (!form2)
        return;
    const QPalette system = QApplication::palette();
    auto paint = [](QWidget *w, const QColor &base, const QColor *text) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, base);
        if (text)
            p.setColor(QPalette::Text, *text);
        w->setPalette(p);
    };
    const QColor windowText = system.color(QPalette::Text);
    if (on) {
        paint(form2->RichEdit1(), system.color(QPalette::Base), nullptr);
        paint(form2->ListBox1(), system.color(QPalette::Base), &windowText);
        paint(form2->RxRichEdit1(), system.color(QPalette::Base), &windowText);
    } else {
        const QColor silver(192, 192, 192), teal(0, 128, 128), yellow(255, 255, 0);
        paint(form2->RichEdit1(), silver, nullptr);
        paint(form2->ListBox1(), teal, &yellow);
        paint(form2->RxRichEdit1(), silver, nullptr);
    }
}

void SettingsController::namefieldFromEdit1()
{
    m_app.presence().setNamefield(ParlixApp::makeNamefield(m_form.Edit1->text()));
}

void SettingsController::insertSeparator()
{
    const int row = m_form.currentRow();
    TForm11 *prompt = m_app.form11();
    if (!row || !prompt)
        return;
    // Centred on the settings window; the prompt keeps its text from the last time.
    const QRect settings = m_form.frameGeometry();
    prompt->move(settings.left() + settings.width() / 2 - prompt->width() / 2,
                 settings.top() + settings.height() / 2 - prompt->height() / 2);
    prompt->exec();
    m_app.table().insertseparator(row, prompt->Edit1()->text());
}

void SettingsController::chooseSound()
{
    m_form.RadioButton1->setChecked(true);
    if (Dialogs::headless())
        return; // nobody could pick a file
    const SettingsFile settings(m_app.paths().settingsFile(), m_app.paths().listFile(), nullptr, nullptr);
    QString folder = settings.readKey(QStringLiteral("soundfiledir"), QStringLiteral("1"));
    if (!QFileInfo(folder).isDir())
        folder.clear(); // "1" names no folder
    const QString wav = QStringLiteral("WAV files (*.wav)");
    QString filter = wav;
    const QString path = QFileDialog::getOpenFileName(&m_form, QString(), folder,
                                                      QStringLiteral("All files (*);;") + wav, &filter);
    if (path.isEmpty())
        return;
    settings.writeKey(QStringLiteral("soundfiledir"), QFileInfo(path).absolutePath());
    settings.writeKey(QStringLiteral("soundfile"), path);
    changeOptions([&path](OptionValues &v) { v.soundfile = path; });
}

void SettingsController::Button2Click()
{
    m_form.showRestartPanel(false);
    m_form.Button2->setEnabled(false);
    m_app.savesettings();
    m_restartNeeded = true;
    m_form.close();
    m_form.Button2->setEnabled(true);
}

void SettingsController::FormClose()
{
    m_app.applyautorun();
    m_app.savesettings();
    if (TForm2 *form2 = m_app.form2())
        form2->RxRichEdit1()->setFocus();
    if (!m_restartNeeded)
        return;
    m_restartNeeded = false;
    if (TForm2 *form2 = m_app.form2()) {
        if (TForm2::hasTray())
            form2->hide();
        else
            form2->showMinimized();
    }
    restartPresence();
}

void SettingsController::open()
{
    // Modal to the whole program, but the caller's event loop goes on: a nested exec() would
    // hold the main window's handler until the window closes.
    m_form.setWindowModality(Qt::ApplicationModal);
    m_form.show();
    m_form.raise();
    m_form.activateWindow();
}

void SettingsController::restartPresence()
{
    m_app.startoffline();
    // The poll waits for the offline notice to be out: a peer that got the query first and the
    // notice after it would take this copy for gone.
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    auto *timer = new QTimer(this);
    timer->setInterval(20);
    connect(timer, &QTimer::timeout, this, [this, timer, waited] {
        if (m_app.offlinerunning() && waited->elapsed() < 10000 && !m_app.shuttingdown())
            return;
        timer->deleteLater();
        if (m_app.shuttingdown())
            return;
        m_app.initall();
        emit restarted();
    });
    timer->start();
}

void SettingsController::showownaddress()
{
    m_ownAddressStale = !m_form.isVisible();
    if (m_ownAddressStale)
        return;
    const OptionValues &values = m_app.options().values();
    const bool usedns = values.CheckBox_usedns;
    const bool iponly = values.CheckBox_iponly;
    const NameLookup lookup(m_app.transport().dns);
    const quint64 ticket = ++m_lookupTicket;
    std::shared_ptr<LookupTarget> target = m_lookupTarget;
    // A reverse lookup or a DNS query can take up to 30 s: never on the window's thread.
    std::thread([target, lookup, usedns, iponly, ticket] {
        const QString line = lookup.showownaddress(usedns, iponly);
        std::lock_guard lock(target->mutex);
        if (SettingsController *controller = target->controller)
            QMetaObject::invokeMethod(
                controller, [controller, ticket, line] { controller->showOwnAddressLine(ticket, line); },
                Qt::QueuedConnection);
    }).detach();
}

void SettingsController::showOwnAddressLine(quint64 ticket, const QString &line)
{
    if (ticket != m_lookupTicket)
        return; // an older lookup that ended late
    m_form.Edit_ip->setText(line);
    emit ownAddressShown(line);
}
