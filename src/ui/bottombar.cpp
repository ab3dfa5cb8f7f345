#include "bottombar.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *indicator(const QString &text, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAutoFillBackground(true);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

} // namespace

BottomBar::BottomBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("bottomBar"));
    setFixedHeight(kHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    auto *indicators = new QVBoxLayout;
    indicators->setSpacing(1);
    m_receive = indicator(QStringLiteral("Прием"), QStringLiteral("receiveIndicator"), this);
    m_progress = indicator(QStringLiteral("Статус (%)"), QStringLiteral("RxLabel2"), this);
    m_transfer = indicator(QStringLiteral("Передача"), QStringLiteral("RxLabel3"), this);
    for (QLabel *label : {m_receive, m_progress, m_transfer})
        indicators->addWidget(label);
    row->addLayout(indicators);

    m_letter = smallButton(QStringLiteral("✉"), QStringLiteral("в письме есть картинки"), QStringLiteral("RxSpeedButton5"));
    m_letter->setCheckable(true);
    m_letter->setFixedSize(40, 40);
    row->addWidget(m_letter);
    auto *small = new QGridLayout;
    small->setSpacing(1);
    QToolButton *font = smallButton(QStringLiteral("A"), QStringLiteral("Шрифт сообщений"), QStringLiteral("fontButton"));
    QToolButton *clear = smallButton(QStringLiteral("⌫"), QStringLiteral("Очистить экран сообщений"), QStringLiteral("clearButton"));
    QToolButton *paste = smallButton(QStringLiteral("⎀"), QStringLiteral("Вставить"), QStringLiteral("pasteButton"));
    QToolButton *copy = smallButton(QStringLiteral("❐"), QStringLiteral("Скопировать в буфер обмена"), QStringLiteral("copyButton"));
    small->addWidget(font, 0, 0);
    small->addWidget(clear, 0, 1);
    small->addWidget(paste, 1, 0);
    small->addWidget(copy, 1, 1);
    row->addLayout(small);
    connect(font, &QToolButton::clicked, this, &BottomBar::conversationFontRequested);
    connect(clear, &QToolButton::clicked, this, &BottomBar::clearRequested);
    connect(paste, &QToolButton::clicked, this, &BottomBar::pasteRequested);
    connect(copy, &QToolButton::clicked, this, &BottomBar::copyRequested);

    m_sendFile = smallButton(QStringLiteral("файл"), QStringLiteral("послать файл"), QStringLiteral("RxSpeedButton6"));
    m_sendFile->setFixedSize(40, 40);
    connect(m_sendFile, &QToolButton::clicked, this, &BottomBar::sendFileRequested);
    row->addWidget(m_sendFile);
    row->addStretch(1);

    auto *right = new QVBoxLayout;
    right->setSpacing(1);
    m_status = new QComboBox(this);
    m_status->setObjectName(QStringLiteral("ComboBox1"));
    m_status->addItems({QStringLiteral("я свободен"), QStringLiteral("я занят"), QStringLiteral("я ушел")});
    connect(m_status, &QComboBox::activated, this, &BottomBar::statusChosen);
    m_settings = new QPushButton(QStringLiteral("настройки"), this);
    m_settings->setObjectName(QStringLiteral("settingsButton"));
    connect(m_settings, &QPushButton::clicked, this, &BottomBar::settingsRequested);
    right->addWidget(m_status);
    right->addWidget(m_settings);
    row->addLayout(right);
}

QToolButton *BottomBar::smallButton(const QString &text, const QString &hint, const QString &name)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setFixedSize(22, 22);
    return button;
}

void BottomBar::applyButtonKeys(const QString &opt, const QString &stt, const QString &pct, const QString &fls)
{
    const QString off = QStringLiteral("0");
    m_settings->setVisible(opt != off);
    m_status->setVisible(stt != off);
    m_letter->setVisible(pct != off);
    m_sendFile->setVisible(fls != off);
}

void BottomBar::setShown(bool shown)
{
    setFixedHeight(shown ? kHeight : 1);
    setEnabled(shown); // folded to one pixel, its contents are clipped out of sight
}
