#include "headerstrip.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

HeaderStrip::HeaderStrip(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(16);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addStretch(1);
    m_toggle = panel(QString(), 78, QStringLiteral("menuToggle"));
    m_toggle->setToolTip(QStringLiteral("показать меню"));
    m_help = panel(QStringLiteral("?"), 21, QStringLiteral("helpPanel"));
    m_help->setStyleSheet(QStringLiteral("background: rgb(240,202,166);"));
    m_info = panel(QStringLiteral("i"), 21, QStringLiteral("infoPanel"));
    m_info->setContextMenuPolicy(Qt::CustomContextMenu);
    paintInfo(false);
    row->addWidget(m_toggle);
    row->addWidget(m_help);
    row->addWidget(m_info);
    showMenuState(true);
    buildDebugMenu();
    connect(m_info, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_debugMenu->popup(m_info->mapToGlobal(pos)); });
}

QLabel *HeaderStrip::panel(const QString &text, int width, const QString &name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setFixedWidth(width);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    label->installEventFilter(this);
    return label;
}

void HeaderStrip::buildDebugMenu()
{
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
}

void HeaderStrip::setDebugMode(bool on)
{
    m_debugMode = on;
    (on ? m_debugOn : m_debugOff)->setChecked(true);
}

void HeaderStrip::paintInfo(bool held)
{
    m_info->setStyleSheet(held ? QStringLiteral("background: rgb(255,0,0); color: yellow;")
                               : QStringLiteral("background: rgb(0,128,0); color: yellow;"));
}

void HeaderStrip::showMenuState(bool barShown)
{
    m_barShown = barShown;
    m_toggle->setText(barShown ? QStringLiteral("выкл.меню") : QStringLiteral("вкл. меню"));
    m_toggle->setStyleSheet(barShown ? QStringLiteral("background: rgb(0,255,0);")
                                     : QStringLiteral("background: rgb(255,255,255);"));
}

bool HeaderStrip::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (!(press || release) || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    if (watched == m_info) {
        // Red while the button is held; the box opens when it is let go.
        paintInfo(press);
        if (release)
            emit infoRequested();
        return true;
    }
    if (watched == m_help && release) {
        emit helpRequested();
        return true;
    }
    if (watched == m_toggle && release) {
        showMenuState(!m_barShown);
        emit menuToggled(m_barShown);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
