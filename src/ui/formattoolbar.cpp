#include "formattoolbar.h"

#include "platform/rtf/smileypictures.h"

#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

namespace {

// The sixteen basic colours, as the colour chooser lists them.
const QRgb kColours[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                         0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

QIcon swatch(const QColor &colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

FormatToolbar::FormatToolbar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("formatToolbar"));
    setFixedHeight(kHeight);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setFocusPolicy(Qt::ClickFocus);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(1, 0, 0, 0);
    row->setSpacing(2);

    m_font = new QFontComboBox(this);
    m_font->setObjectName(QStringLiteral("fontChooser"));
    m_font->setWritingSystem(QFontDatabase::Cyrillic);
    m_font->setMaximumWidth(150);
    connect(m_font, &QFontComboBox::textActivated, this, &FormatToolbar::fontNameChosen);
    row->addWidget(m_font);

    m_colour = new QComboBox(this);
    m_colour->setObjectName(QStringLiteral("colourChooser"));
    buildColours();
    connect(m_colour, &QComboBox::activated, this,
            [this](int index) { emit colourChosen(m_colour->itemData(index).value<QColor>()); });
    row->addWidget(m_colour);

    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("sizeBox"));
    m_size->setEditable(true);
    m_size->addItems({"6", "8", "10", "11", "12", "14", "16", "20"});
    m_size->setCurrentText(QStringLiteral("12"));
    m_size->setMaximumWidth(50);
    connect(m_size, &QComboBox::currentTextChanged, this, [this](const QString &text) { emit sizeChosen(sizeFromText(text)); });
    row->addWidget(m_size);

    m_bold = toolButton(QStringLiteral("Ж"), QStringLiteral("btn_bld"));
    m_italic = toolButton(QStringLiteral("К"), QStringLiteral("btn_itl"));
    for (QToolButton *toggle : {m_bold, m_italic}) {
        toggle->setCheckable(true);
        toggle->setFocusPolicy(Qt::NoFocus);
    }
    QFont bold = m_bold->font();
    bold.setBold(true);
    m_bold->setFont(bold);
    QFont italic = m_italic->font();
    italic.setItalic(true);
    m_italic->setFont(italic);
    connect(m_bold, &QToolButton::clicked, this, &FormatToolbar::boldToggled);
    connect(m_italic, &QToolButton::clicked, this, &FormatToolbar::italicToggled);

    m_picture1 = toolButton(QString(), QStringLiteral("pictureButton1"));
    m_picture3 = toolButton(QString(), QStringLiteral("pictureButton3"));
    m_picture1->setIcon(QIcon(QPixmap::fromImage(SmileyPictures::bitmap(1))));
    m_picture3->setIcon(QIcon(QPixmap::fromImage(SmileyPictures::bitmap(3))));
    connect(m_picture1, &QToolButton::clicked, this, [this] { emit pictureRequested(1); });
    connect(m_picture3, &QToolButton::clicked, this, [this] { emit pictureRequested(3); });
    m_picker = toolButton(QStringLiteral("☺…"), QStringLiteral("pickerButton"));
    m_picker->setToolTip(QStringLiteral("Нажмте на смайлик для вставки"));
    connect(m_picker, &QToolButton::clicked, this, &FormatToolbar::pickerRequested);
    row->addStretch(1);

    m_sendArea = new QWidget(this);
    auto *sendRow = new QHBoxLayout(m_sendArea);
    sendRow->setContentsMargins(0, 0, 15, 0);
    m_send = new QPushButton(QStringLiteral("отправить"), m_sendArea);
    m_send->setObjectName(QStringLiteral("Button1"));
    m_send->setFixedHeight(kHeight - 2);
    connect(m_send, &QPushButton::clicked, this, &FormatToolbar::sendClicked);
    sendRow->addWidget(m_send);
    row->addWidget(m_sendArea);
    setSendAreaShown(false);
}

QToolButton *FormatToolbar::toolButton(const QString &text, const QString &name)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setFixedSize(kHeight - 2, kHeight - 2);
    button->setAutoRaise(true);
    layout()->addWidget(button);
    return button;
}

void FormatToolbar::buildColours()
{
    for (QRgb rgb : kColours)
        m_colour->addItem(swatch(QColor(rgb)), QString(), QColor(rgb));
}

int FormatToolbar::colourIndex(const QColor &colour)
{
    int index = m_colour->findData(colour);
    if (index < 0) {
        // A colour from the font dialog that the basic list lacks gets an entry of its own.
        m_colour->addItem(swatch(colour), QString(), colour);
        index = m_colour->count() - 1;
    }
    return index;
}

void FormatToolbar::showFont(const QString &name, const QColor &colour, bool bold, bool italic)
{
    const QSignalBlocker blockFont(m_font);
    const QSignalBlocker blockColour(m_colour);
    m_font->setCurrentFont(QFont(name));
    m_font->setEditText(name);
    m_colour->setCurrentIndex(colourIndex(colour));
    m_bold->setChecked(bold);
    m_italic->setChecked(italic);
}

void FormatToolbar::showSize(int points)
{
    const QSignalBlocker block(m_size);
    m_size->setCurrentText(QString::number(points));
}

void FormatToolbar::setSendAreaShown(bool shown)
{
    m_sendArea->setFixedWidth(shown ? m_send->sizeHint().width() + 15 : 0);
    m_sendArea->setVisible(shown);
}

int FormatToolbar::sendAreaWidth() const
{
    return m_sendArea->isVisibleTo(this) ? m_sendArea->width() : 0;
}

int FormatToolbar::sizeFromText(const QString &text)
{
    bool ok = false;
    const int points = text.trimmed().toInt(&ok);
    // A size the editor cannot use (none, negative, absurd) counts as no number.
    return ok && points > 0 && points <= 1000 ? points : 12;
}

void FormatToolbar::mousePressEvent(QMouseEvent *event)
{
    setFrameShadow(QFrame::Sunken);
    QFrame::mousePressEvent(event);
}

void FormatToolbar::mouseReleaseEvent(QMouseEvent *event)
{
    setFrameShadow(QFrame::Raised);
    QFrame::mouseReleaseEvent(event);
}

void FormatToolbar::focusOutEvent(QFocusEvent *event)
{
    setFrameShadow(QFrame::Raised);
    QFrame::focusOutEvent(event);
}
