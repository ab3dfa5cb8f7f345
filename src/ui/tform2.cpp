#include "tform2.h"

#include "contacts/optionvalues.h"
#include "inputeditor.h"
#include "platform/linkfinder.h"
#include "platform/rtf/statuspictures.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QPushButton>
#include <QMenu>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QLabel *indicator(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

} // namespace

TForm2::TForm2(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form2"));
    setMinimumWidth(500);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    auto *middle = new QHBoxLayout;
    m_conversation = new QTextEdit(central);
    m_conversation->setObjectName(QStringLiteral("RichEdit1"));
    m_conversation->setReadOnly(true);
    middle->addWidget(m_conversation, 1);
    buildConversationMenu();
    m_roster = new QListWidget(central);
    m_roster->setObjectName(QStringLiteral("ListBox1"));
    m_roster->setFixedWidth(146);
    m_roster->setSelectionMode(QAbstractItemView::MultiSelection);
    connect(m_roster, &QListWidget::itemSelectionChanged, this, [this] {
        QSet<int> selected;
        for (QListWidgetItem *item : m_roster->selectedItems())
            selected.insert(m_roster->row(item));
        emit rosterSelectionChanged(selected);
    });
    m_roster->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *rosterMenu = new QMenu(this);
    connect(rosterMenu->addAction(QStringLiteral("передать список")), &QAction::triggered, this,
            &TForm2::addressListRequested);
    connect(m_roster, &QWidget::customContextMenuRequested, this,
            [this, rosterMenu](const QPoint &pos) { rosterMenu->popup(m_roster->viewport()->mapToGlobal(pos)); });
    middle->addWidget(m_roster);
    layout->addLayout(middle, 1);
    layout->addWidget(buildInput());
    layout->addWidget(buildBottomBar());
    setCentralWidget(central);
    buildTray();
}

QWidget *TForm2::buildHeader()
{
    auto *strip = new QWidget(this);
    strip->setFixedHeight(16);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    auto *info = m_info = new QLabel(QStringLiteral("i"), strip);
    info->setObjectName(QStringLiteral("infoPanel"));
    info->setFixedWidth(21);
    info->setAlignment(Qt::AlignCenter);
    info->setStyleSheet(QStringLiteral("background: rgb(0,128,0); color: yellow; font-weight: bold;"));
    info->setContextMenuPolicy(Qt::CustomContextMenu);
    row->addWidget(info);

    // The debug menu: two radio items and the debug window.
    m_debugMenu = new QMenu(this);
    auto *group = new QActionGroup(m_debugMenu);
    m_debugOn = m_debugMenu->addAction(QStringLiteral("отладка вкл."));
    m_debugOff = m_debugMenu->addAction(QStringLiteral("отладка выкл."));
    for (QAction *action : {m_debugOn, m_debugOff}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    m_debugOff->setChecked(true);
    connect(m_debugOn, &QAction::triggered, this, [this] { setDebugMode(true); });
    connect(m_debugOff, &QAction::triggered, this, [this] { setDebugMode(false); });
    connect(m_debugMenu->addAction(QStringLiteral("окно отладки")), &QAction::triggered, this, [this] {
        setDebugMode(true);
        emit debugWindowRequested();
    });
    connect(info, &QWidget::customContextMenuRequested, this,
            [this, info](const QPoint &pos) { m_debugMenu->popup(info->mapToGlobal(pos)); });
    info->installEventFilter(this);
    return strip;
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    // The green panel turns red while the left button is held and opens the information box.
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (watched == m_info && (press || release) && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (press) {
            m_info->setStyleSheet(QStringLiteral("background: rgb(255,0,0); color: yellow; font-weight: bold;"));
            return true;
        }
        if (release) {
            m_info->setStyleSheet(QStringLiteral("background: rgb(0,128,0); color: yellow; font-weight: bold;"));
            emit infoRequested();
            return true;
        }
    }
    // A left click on a link in the conversation.
    if (watched == m_conversation->viewport() && release
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !m_conversation->textCursor().hasSelection()) {
        const QTextCursor at = m_conversation->cursorForPosition(static_cast<QMouseEvent *>(event)->position().toPoint());
        const QString link = LinkFinder::linkAt(at.block().text(), at.positionInBlock());
        if (!link.isEmpty())
            emit linkClicked(link);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm2::setDebugMode(bool on)
{
    m_debugMode = on;
    (on ? m_debugOn : m_debugOff)->setChecked(true);
}

void TForm2::buildConversationMenu()
{
    m_conversationMenu = new QMenu(this);
    connect(m_conversationMenu->addAction(QStringLiteral("Шрифт сообщений")), &QAction::triggered, this,
            &TForm2::conversationFontRequested);
    connect(m_conversationMenu->addAction(QStringLiteral("Очистить экран сообщений")), &QAction::triggered, this,
            &TForm2::clearConversation);
    connect(m_conversationMenu->addAction(QStringLiteral("Скопировать в буфер обмена")), &QAction::triggered, this,
            &TForm2::copyConversation);
    connect(m_conversationMenu->addAction(QStringLiteral("Сохранить сообщения в файле")), &QAction::triggered, this,
            &TForm2::saveConversationRequested);
    connect(m_conversationMenu->addAction(QStringLiteral("Печать сообщений")), &QAction::triggered, this,
            &TForm2::printConversationRequested);
    m_conversation->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_conversation, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_conversationMenu->popup(m_conversation->viewport()->mapToGlobal(pos)); });
    m_conversation->viewport()->installEventFilter(this);
}

void TForm2::clearConversation()
{
    QTextCursor cursor = m_conversation->textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else
        m_conversation->clear();
}

void TForm2::copyConversation()
{
    m_conversation->copy();
}

QWidget *TForm2::buildInput()
{
    auto *panel = new QWidget(this);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    m_input = new InputEditor(panel);
    m_input->setFixedHeight(80);
    connect(m_input, &InputEditor::sendRequested, this, &TForm2::sendRequested);
    row->addWidget(m_input, 1);
    m_send = new QPushButton(QStringLiteral("отправить"), panel);
    m_send->setObjectName(QStringLiteral("Button1"));
    connect(m_send, &QPushButton::clicked, this, &TForm2::sendRequested);
    row->addWidget(m_send);
    updateSendArea();
    return panel;
}

void TForm2::updateSendArea()
{
    m_send->setVisible(m_sendButtonOption || (m_letter && m_letter->isChecked()));
}

void TForm2::setSendButtonOption(bool on)
{
    m_sendButtonOption = on;
    m_input->setSendButtonOption(on);
    updateSendArea();
}

void TForm2::setLetterMode(bool on)
{
    if (m_letter->isChecked() != on)
        m_letter->setChecked(on);
    m_input->setLetterMode(on);
    updateSendArea();
}

QWidget *TForm2::buildBottomBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("bottomBar"));
    bar->setFixedHeight(60);
    auto *row = new QHBoxLayout(bar);
    m_receive = indicator(QStringLiteral("Прием"), bar);
    m_progress = indicator(QStringLiteral("Статус (%)"), bar);
    m_progress->setObjectName(QStringLiteral("RxLabel2"));
    m_transfer = indicator(QStringLiteral("Передача"), bar);
    m_transfer->setObjectName(QStringLiteral("RxLabel3"));
    row->addWidget(m_receive);
    row->addWidget(m_progress);
    row->addWidget(m_transfer);
    m_letter = new QToolButton(bar);
    m_letter->setObjectName(QStringLiteral("RxSpeedButton5"));
    m_letter->setText(QStringLiteral("✉"));
    m_letter->setToolTip(QStringLiteral("в письме есть картинки"));
    m_letter->setCheckable(true);
    connect(m_letter, &QToolButton::toggled, this, [this](bool on) {
        setLetterMode(on);
        emit letterModeChanged(on);
    });
    row->addWidget(m_letter);
    m_sendFile = new QToolButton(bar);
    m_sendFile->setObjectName(QStringLiteral("RxSpeedButton6"));
    m_sendFile->setText(QStringLiteral("📎"));
    m_sendFile->setToolTip(QStringLiteral("послать файл"));
    connect(m_sendFile, &QToolButton::clicked, this, &TForm2::sendFileRequested);
    row->addWidget(m_sendFile);
    row->addStretch(1);
    m_status = new QComboBox(bar);
    m_status->setObjectName(QStringLiteral("ComboBox1"));
    m_status->addItems({QStringLiteral("я свободен"), QStringLiteral("я занят"), QStringLiteral("я ушел")});
    m_status->setCurrentIndex(0);
    connect(m_status, &QComboBox::activated, this, &TForm2::statusChosen);
    row->addWidget(m_status);
    return bar;
}

void TForm2::buildTray()
{
    m_tray = new QSystemTrayIcon(this);
    m_blink = new QTimer(this);
    m_blink->setInterval(200);
    connect(m_blink, &QTimer::timeout, this, [this] {
        m_blinkIcon = (m_blinkIcon + 1) % 3;
        m_tray->setIcon(StatusPictures::trayIcon(m_blinkIcon));
    });
    m_trayMenu = new QMenu(this);
    m_statusActions = new QActionGroup(m_trayMenu);
    const QString names[3] = {QStringLiteral("Свободен"), QStringLiteral("Занят"), QStringLiteral("Ушел")};
    for (int status = 0; status < 3; ++status) {
        QAction *action = m_trayMenu->addAction(names[status]);
        action->setCheckable(true);
        action->setChecked(status == 0);
        m_statusActions->addAction(action);
        connect(action, &QAction::triggered, this, [this, status] { emit statusChosen(status); });
    }
    m_trayMenu->addAction(QStringLiteral("------------------"))->setEnabled(false);
    connect(m_trayMenu->addAction(QStringLiteral("Закрыть")), &QAction::triggered, this, &TForm2::closeRequested);
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (m_trayIgnoresClicks)
            return;
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            arest();
    });
}

void TForm2::icons_refresh(int status)
{
    if (status < 0 || status > 2)
        status = 0;
    m_tray->setIcon(StatusPictures::trayIcon(status));
    if (!m_tray->isVisible())
        m_tray->show();
}

void TForm2::appendConversationLine(const QString &text, const QTextCharFormat &format)
{
    QTextCursor cursor(m_conversation->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!m_conversation->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text, format);
    cursor.endEditBlock();
    m_conversation->setTextCursor(cursor);
    m_conversation->ensureCursorVisible();
}

void TForm2::arest()
{
    if (m_wasMaximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
    setAttention(false);
}

void TForm2::setAttention(bool on)
{
    m_attention = on;
    if (on) {
        m_blink->start();
    } else {
        m_blink->stop();
        icons_refresh(m_ownStatus);
    }
}

void TForm2::showOwnStatus(int status, const QColor &colour)
{
    m_ownStatus = status;
    m_status->setCurrentIndex(status);
    QPalette pal = m_status->palette();
    pal.setColor(QPalette::Button, colour);
    pal.setColor(QPalette::Base, colour);
    m_status->setPalette(pal);
    const QList<QAction *> actions = m_statusActions->actions();
    if (status >= 0 && status < actions.size())
        actions[status]->setChecked(true);
    if (!m_attention)
        icons_refresh(status);
}

void TForm2::showRoster(const QList<RosterEntry> &entries, const QSet<int> &selected)
{
    const QSignalBlocker block(m_roster);
    m_roster->clear();
    for (int i = 0; i < entries.size(); ++i) {
        const RosterEntry &entry = entries[i];
        auto *item = new QListWidgetItem(entry.separator ? QStringLiteral("— %1 —").arg(entry.label) : entry.label, m_roster);
        item->setForeground(entry.colour);
        if (entry.separator)
            item->setTextAlignment(Qt::AlignCenter);
        item->setSelected(selected.contains(i));
    }
}

void TForm2::removeTrayIcon()
{
    m_tray->hide();
}

bool TForm2::hasTray()
{
    // Offscreen counts as having a tray: the program starts without a window there.
    return QGuiApplication::platformName() == QLatin1String("offscreen") || QSystemTrayIcon::isSystemTrayAvailable();
}

void TForm2::setReceiveIndicator(bool active)
{
    const QColor wanted = active ? QColor(0, 255, 0) : QApplication::palette().color(QPalette::Button);
    QPalette pal = m_receive->palette();
    if (pal.color(QPalette::Window) == wanted)
        return;
    pal.setColor(QPalette::Window, wanted);
    m_receive->setPalette(pal);
}

void TForm2::closeEvent(QCloseEvent *event)
{
    // The close button never ends the program: it goes to the tray, or to the task bar where
    // there is no tray, so that the user can always get the window back.
    event->ignore();
    if (hasTray())
        hide();
    else
        showMinimized();
}

void TForm2::rememberNormalBounds()
{
    if (!isMaximized() && !isMinimized() && isVisible())
        m_normalBounds = geometry();
}

void TForm2::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    rememberNormalBounds();
}

void TForm2::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    rememberNormalBounds();
}

void TForm2::applyPlacement(const OptionValues &values)
{
    m_wasMaximized = values.wnd_max == 1;
    m_normalBounds = QRect(values.c__left, values.c___top, values.c_width, values.c_heigh);
    setGeometry(m_normalBounds);
    if (m_wasMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TForm2::storePlacement(OptionValues &values) const
{
    QRect bounds = m_normalBounds;
    if (isMinimized()) {
        // wnd_max stays as it was
    } else if (isMaximized() || (!isVisible() && m_wasMaximized)) {
        values.wnd_max = 1;
    } else {
        values.wnd_max = 0;
        if (isVisible())
            bounds = geometry();
    }
    values.c__left = bounds.x();
    values.c___top = bounds.y();
    values.c_width = bounds.width();
    values.c_heigh = bounds.height();
}
