#include "tform2.h"

#include "bottombar.h"
#include "contacts/optionvalues.h"
#include "formattoolbar.h"
#include "headerstrip.h"
#include "inputeditor.h"
#include "platform/linkfinder.h"
#include "rosterdelegate.h"
#include "presence/fontoptions.h"
#include "inputpanel.h"
#include "trayicon.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

const QColor kSilver(192, 192, 192);
const QColor kTeal(0, 128, 128);
const QColor kYellow(255, 255, 0);

void setBase(QWidget *widget, const QColor &base)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Base, base);
    widget->setPalette(pal);
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
    m_header = new HeaderStrip(central);
    layout->addWidget(m_header);
    m_columns = new QSplitter(Qt::Horizontal, central);
    m_columns->setHandleWidth(3);
    m_columns->setChildrenCollapsible(false);
    m_columns->addWidget(buildConversationArea());
    m_roster = new RosterPanel(m_columns);
    m_roster->setMinimumWidth(40);
    m_columns->addWidget(m_roster);
    m_columns->setStretchFactor(0, 1);
    m_columns->setStretchFactor(1, 0);
    m_columns->setSizes({484, 146});
    layout->addWidget(m_columns, 1);
    m_bottom = new BottomBar(central);
    layout->addWidget(m_bottom);
    setCentralWidget(central);
    m_tray = new TrayIcon(this);
    buildConversationMenu();
    connectBars();
    setColourScheme(false);
    applyInputFont(FontOptions::inputFont(OptionValues()));
}

QWidget *TForm2::buildConversationArea()
{
    m_slider = new QSplitter(Qt::Vertical);
    m_slider->setHandleWidth(2);
    m_conversation = new QTextEdit(m_slider);
    m_conversation->setObjectName(QStringLiteral("RichEdit1"));
    m_conversation->setReadOnly(true);
    m_conversation->setMinimumHeight(1); // an explicit minimum, or the splitter keeps its larger hint
    m_slider->addWidget(m_conversation);
    m_slider->addWidget(buildInputPanel());
    m_slider->setStretchFactor(0, 1);
    m_slider->setStretchFactor(1, 0);
    m_slider->setCollapsible(0, true);
    m_slider->setCollapsible(1, false);
    connect(m_slider, &QSplitter::splitterMoved, this, &TForm2::sliderMoved);
    m_slider->installEventFilter(this);
    return m_slider;
}

QWidget *TForm2::buildInputPanel()
{
    m_inputPanel = new InputPanel;
    m_toolbar = m_inputPanel->toolbar();
    m_input = m_inputPanel->editor();
    m_input->installEventFilter(this);
    connect(m_toolbar, &FormatToolbar::sendClicked, this, &TForm2::sendRequested);
    connect(m_inputPanel, &InputPanel::inputFontChanged, this, &TForm2::inputFontChanged);
    connect(m_inputPanel, &InputPanel::inputFontRequested, this, &TForm2::inputFontRequested);
    connect(m_inputPanel, &InputPanel::copyRequested, this, &TForm2::copyConversation);
    return m_inputPanel;
}

void TForm2::connectBars()
{
    connect(m_header, &HeaderStrip::infoRequested, this, &TForm2::infoRequested);
    connect(m_header, &HeaderStrip::helpRequested, this, &TForm2::helpRequested);
    connect(m_header, &HeaderStrip::debugWindowRequested, this, &TForm2::debugWindowRequested);
    connect(m_header, &HeaderStrip::menuToggled, this, &TForm2::setMenuShown);
    connect(m_bottom, &BottomBar::conversationFontRequested, this, &TForm2::conversationFontRequested);
    connect(m_bottom, &BottomBar::clearRequested, this, &TForm2::clearConversation);
    connect(m_bottom, &BottomBar::pasteRequested, this, &TForm2::pasteIntoInput);
    connect(m_bottom, &BottomBar::copyRequested, this, &TForm2::copyConversation);
    connect(m_bottom, &BottomBar::sendFileRequested, this, &TForm2::sendFileRequested);
    connect(m_bottom, &BottomBar::statusChosen, this, &TForm2::statusChosen);
    connect(m_bottom, &BottomBar::settingsRequested, this, &TForm2::settingsRequested);
    connect(RxSpeedButton5(), &QToolButton::toggled, this, [this](bool on) {
        setLetterMode(on);
        emit letterModeChanged(on);
    });
    connect(m_roster, &RosterPanel::selectionChanged, this, &TForm2::rosterSelectionChanged);
    connect(m_roster, &RosterPanel::addressListRequested, this, &TForm2::addressListRequested);
    connect(m_roster, &RosterPanel::clicked, this, [this] {
        emit rosterClicked();
        if (isVisible())
            m_input->setFocus();
    });
    connect(m_tray, &TrayIcon::statusChosen, this, &TForm2::statusChosen);
    connect(m_tray, &TrayIcon::closeRequested, this, &TForm2::closeRequested);
    connect(m_tray, &TrayIcon::restoreRequested, this, &TForm2::arest);
    connect(m_input, &InputEditor::sendRequested, this, &TForm2::sendRequested);
    connect(m_input, &InputEditor::pointerEntered, this, [this] {
        if (isVisible() && isActiveWindow() && !m_conversation->textCursor().hasSelection())
            m_input->setFocus();
    });
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

// ---- accessors of the bars' controls

QPushButton *TForm2::Button1() const { return m_toolbar->Button1(); }
QToolButton *TForm2::RxSpeedButton5() const { return m_bottom->letterToggle(); }
QToolButton *TForm2::RxSpeedButton6() const { return m_bottom->sendFileButton(); }
QComboBox *TForm2::ComboBox1() const { return m_bottom->statusChooser(); }
QLabel *TForm2::receiveIndicator() const { return m_bottom->receiveIndicator(); }
QLabel *TForm2::RxLabel2() const { return m_bottom->progress(); }
QLabel *TForm2::RxLabel3() const { return m_bottom->transfer(); }
QListWidget *TForm2::ListBox1() const { return m_roster->list(); }
QMenu *TForm2::debugMenu() const { return m_header->debugMenu(); }
bool TForm2::debugMode() const { return m_header->debugMode(); }
QSystemTrayIcon *TForm2::trayIcon() const { return m_tray->icon(); }
TForm10 *TForm2::picker() const { return m_inputPanel->picker(); }
QMenu *TForm2::inputMenu() const { return m_inputPanel->menu(); }

// ---- options

void TForm2::applyOptions(const OptionValues &values)
{
    setColourScheme(values.std_col);
    setStatusColours(FontOptions::colour(values.u_free), FontOptions::colour(values.u_busy),
                     FontOptions::colour(values.u_offl));
    m_bottom->applyButtonKeys(values.bt_opt, values.bt_stt, values.bt_pct, values.bt_fls);
    setSendButtonOption(values.CheckBoxBt);
    setConversationFont(FontOptions::conversationFont(values, m_conversation->palette().color(QPalette::Text)));
}

void TForm2::setColourScheme(bool standard)
{
    const QPalette system = QApplication::palette();
    const QColor window = system.color(QPalette::Base);
    const QColor windowText = system.color(QPalette::Text);
    setBase(m_conversation, standard ? window : kSilver);
    m_roster->setColours(standard ? window : kTeal, standard ? windowText : kYellow);
    QPalette input = m_input->palette();
    input.setColor(QPalette::Base, standard ? window : kSilver);
    if (standard)
        input.setColor(QPalette::Text, windowText);
    m_input->setPalette(input);
}

void TForm2::setStatusColours(const QColor &free, const QColor &busy, const QColor &away)
{
    m_roster->delegate()->setStatusColours(free, busy, away);
    m_roster->list()->viewport()->update();
}

void TForm2::setSendButtonOption(bool on)
{
    m_sendButtonOption = on;
    m_input->setSendButtonOption(on);
    updateSendArea();
}

void TForm2::updateSendArea()
{
    m_toolbar->setSendAreaShown(m_sendButtonOption || RxSpeedButton5()->isChecked());
}

void TForm2::setLetterMode(bool on)
{
    QToolButton *toggle = RxSpeedButton5();
    if (toggle->isChecked() != on) {
        toggle->setChecked(on); // comes back here through the toggle's signal
        return;
    }
    if (m_letterMode == on)
        return;
    m_letterMode = on;
    m_input->setLetterMode(on);
    updateSendArea();
    if (on) {
        // A letter gets room: half the conversation area, kept until the letter mode ends.
        m_savedInputHeight = inputHeight();
        setInputHeight(m_slider->height() / 2);
        QTextCursor end = m_input->textCursor();
        end.movePosition(QTextCursor::End);
        m_input->setTextCursor(end);
        m_input->ensureCursorVisible();
    } else {
        setInputHeight(m_savedInputHeight);
    }
    m_input->setFocus();
}

void TForm2::setMenuShown(bool shown)
{
    m_header->showMenuState(shown);
    m_bottom->setShown(shown);
}

bool TForm2::menuShown() const
{
    return m_header->barShown();
}

void TForm2::setInputHeight(int height)
{
    // A hidden splitter has no height to share out yet: the height waits for the first layout.
    m_pendingInputHeight = height;
    applyInputHeight();
}

void TForm2::applyInputHeight()
{
    const int total = m_slider->height();
    if (m_pendingInputHeight < 0 || !m_slider->isVisible() || total <= 0)
        return;
    const int height = m_pendingInputHeight;
    m_pendingInputHeight = -1;
    m_slider->setSizes({qMax(0, total - height - m_slider->handleWidth()), height});
}

int TForm2::inputHeight() const
{
    return m_pendingInputHeight >= 0 ? m_pendingInputHeight : m_slider->sizes().value(1);
}

void TForm2::sliderMoved()
{
    int height = inputHeight();
    if (height < FormatToolbar::kHeight)
        setInputHeight(height = FormatToolbar::kHeight);
    scrolltoend();
    if (m_slider->sizes().value(0) < 1) {
        // Dragged to the very top: leave the conversation a strip of 40 pixels.
        height = m_slider->height() - 40;
        setInputHeight(height);
    }
    emit inputHeightChanged(height);
}

// ---- conversation and input

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

void TForm2::pasteIntoInput()
{
    m_input->paste();
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
    scrolltoend();
}

void TForm2::setConversationFont(const QTextCharFormat &font)
{
    m_conversation->setCurrentCharFormat(font);
}

void TForm2::applyInputFont(const QTextCharFormat &font)
{
    m_inputPanel->applyInputFont(font);
}

QTextCharFormat TForm2::inputFont() const
{
    return m_inputPanel->inputFont();
}

void TForm2::syncFontControls()
{
    m_inputPanel->syncFontControls();
}

void TForm2::insertPicture(int n)
{
    m_inputPanel->insertPicture(n);
}

void TForm2::openPicker()
{
    m_inputPanel->openPicker();
}

// ---- tray, hiding and restoring

void TForm2::icons_refresh()
{
    m_tray->icons_refresh(m_ownStatus, m_attention);
}

void TForm2::showOwnStatus(int status, const QColor &colour)
{
    m_ownStatus = (status >= 0 && status <= 2) ? status : 0;
    ComboBox1()->setCurrentIndex(m_ownStatus);
    if (colour.isValid()) {
        QPalette pal = ComboBox1()->palette();
        pal.setColor(QPalette::Button, colour);
        pal.setColor(QPalette::Base, colour);
        ComboBox1()->setPalette(pal);
    }
    m_tray->setChecked(m_ownStatus);
    icons_refresh();
}

void TForm2::setAttention(bool on)
{
    m_attention = on;
    icons_refresh();
}

void TForm2::amin()
{
    log(QStringLiteral("amin begin"));
    // Every window of the program goes with the main window; only the tray icon stays. A
    // question waiting for an answer stays, or the user could not answer it.
    if (hasTray()) {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window == this || !window->isVisible() || window->isModal() || window->isMinimized()
                || window->windowType() == Qt::Popup || window->windowType() == Qt::ToolTip)
                continue;
            window->showMinimized();
            m_minimised.append(window);
        }
        hide();
    } else {
        showMinimized();
    }
    log(QStringLiteral("amin end"));
}

void TForm2::arest()
{
    log(QStringLiteral("arest begin"));
    m_restoring = true;
    for (const QPointer<QWidget> &window : std::as_const(m_minimised))
        if (window)
            window->showNormal();
    m_minimised.clear();
    if (m_wasMaximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
    m_attention = false;
    icons_refresh();
    setFocus();
    scrolltoend();
    m_restoring = false;
    log(QStringLiteral("arest end"));
}

void TForm2::a_activate()
{
    log(QStringLiteral("a_activate begin"));
    if (isActiveWindow() && isVisible()) {
        QTextCursor end = m_conversation->textCursor();
        end.movePosition(QTextCursor::End);
        m_conversation->setTextCursor(end);
        m_input->setFocus();
    }
    if ((!m_initialised || !isVisible()) && !m_restoring && !QApplication::activeModalWidget())
        amin();
    if (m_attention) {
        m_attention = false;
        icons_refresh();
    }
    log(QStringLiteral("a_activate end"));
}

void TForm2::scrolltoend()
{
    if (!isVisible() || !isActiveWindow())
        return;
    QTextCursor end = m_conversation->textCursor();
    end.movePosition(QTextCursor::End);
    m_conversation->setTextCursor(end);
    m_conversation->ensureCursorVisible();
    m_input->setFocus();
}

void TForm2::showRoster(const QList<RosterEntry> &entries, const QSet<int> &selected)
{
    m_roster->showEntries(entries, selected);
}

void TForm2::setReceiveIndicator(bool active)
{
    QLabel *label = receiveIndicator();
    const QColor wanted = active ? QColor(0, 255, 0) : QApplication::palette().color(QPalette::Button);
    QPalette pal = label->palette();
    if (pal.color(QPalette::Window) == wanted)
        return;
    pal.setColor(QPalette::Window, wanted);
    label->setPalette(pal);
}

void TForm2::removeTrayIcon()
{
    m_tray->remove();
}

void TForm2::setTrayIgnoresClicks(bool ignore)
{
    m_tray->setIgnoresClicks(ignore);
}

bool TForm2::hasTray()
{
    // Offscreen counts as having a tray: the program starts without a window there.
    return QGuiApplication::platformName() == QLatin1String("offscreen") || QSystemTrayIcon::isSystemTrayAvailable();
}

// ---- events

void TForm2::closeEvent(QCloseEvent *event)
{
    // The close button never ends the program: it goes to the tray, or to the task bar where
    // there is no tray, so that the user can always get the window back.
    event->ignore();
    m_wasMaximized = isMaximized();
    if (hasTray())
        hide();
    amin();
    log(QStringLiteral("TForm2::FormCloseQuery e"));
}

void TForm2::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    scrolltoend();
    m_attention = false;
    icons_refresh();
}

void TForm2::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_attention) {
        m_attention = false;
        icons_refresh();
    }
}

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_slider && event->type() == QEvent::Resize)
        applyInputHeight();
    // A left click on a link in the conversation.
    if (watched == m_conversation->viewport() && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !m_conversation->textCursor().hasSelection()) {
        const QTextCursor at = m_conversation->cursorForPosition(static_cast<QMouseEvent *>(event)->position().toPoint());
        const QString link = LinkFinder::linkAt(at.block().text(), at.positionInBlock());
        if (!link.isEmpty())
            emit linkClicked(link);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm2::rememberNormalBounds()
{
    if (!isMaximized() && !isMinimized() && isVisible() && pos() != QPoint(-4, -4))
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

void TForm2::log(const QString &text) const
{
    if (m_log)
        m_log(text);
}
