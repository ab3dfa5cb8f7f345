#include "inputpanel.h"

#include "formattoolbar.h"
#include "inputeditor.h"
#include "tform10.h"

#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

InputPanel::InputPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("inputPanel"));
    setMinimumHeight(FormatToolbar::kHeight);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_toolbar = new FormatToolbar(this);
    column->addWidget(m_toolbar);
    m_input = new InputEditor(this);
    m_input->setMinimumHeight(0);
    column->addWidget(m_input, 1);
    connect(m_input, &InputEditor::formatSyncNeeded, this, &InputPanel::syncFontControls);
    connectToolbar();
    buildMenu();
}

InputPanel::~InputPanel()
{
    delete m_picker.data();
}

TForm10 *InputPanel::picker() const
{
    return m_picker.data();
}

void InputPanel::connectToolbar()
{
    connect(m_toolbar, &FormatToolbar::fontNameChosen, this, [this](const QString &name) {
        QTextCharFormat change;
        change.setFontFamilies({name});
        changeInputFont(change, true);
    });
    connect(m_toolbar, &FormatToolbar::colourChosen, this, [this](const QColor &colour) {
        QTextCharFormat change;
        change.setForeground(colour);
        changeInputFont(change, true);
    });
    connect(m_toolbar, &FormatToolbar::sizeChosen, this, [this](int points) {
        QTextCharFormat change;
        change.setFontPointSize(points);
        changeInputFont(change, false);
    });
    // Bold and italic leave the focus where it is.
    connect(m_toolbar, &FormatToolbar::boldToggled, this, [this](bool on) {
        QTextCharFormat change;
        change.setFontWeight(on ? QFont::Bold : QFont::Normal);
        changeInputFont(change, false);
    });
    connect(m_toolbar, &FormatToolbar::italicToggled, this, [this](bool on) {
        QTextCharFormat change;
        change.setFontItalic(on);
        changeInputFont(change, false);
    });
    connect(m_toolbar, &FormatToolbar::pictureRequested, this, &InputPanel::insertPicture);
    connect(m_toolbar, &FormatToolbar::pickerRequested, this, &InputPanel::openPicker);
}

void InputPanel::buildMenu()
{
    m_menu = new QMenu(this);
    connect(m_menu->addAction(QStringLiteral("Копировать")), &QAction::triggered, this, &InputPanel::copyRequested);
    connect(m_menu->addAction(QStringLiteral("Вставить")), &QAction::triggered, m_input, &InputEditor::paste);
    connect(m_menu->addAction(QStringLiteral("Шрифт ввода")), &QAction::triggered, this, &InputPanel::inputFontRequested);
    m_input->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_input, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_input->viewport()->mapToGlobal(pos)); });
}

void InputPanel::changeInputFont(const QTextCharFormat &change, bool focus)
{
    m_inputFont.merge(change);
    m_input->changeFormat(change);
    if (focus && window()->isVisible())
        m_input->setFocus();
    emit inputFontChanged(m_inputFont);
}

void InputPanel::applyInputFont(const QTextCharFormat &font)
{
    m_inputFont = font;
    const QStringList families = font.fontFamilies().toStringList();
    m_toolbar->showFont(families.value(0), font.foreground().color(), font.fontWeight() >= QFont::Bold,
                        font.fontItalic());
    m_toolbar->showSize(qRound(font.fontPointSize()));
    m_input->applyFont(font);
}

void InputPanel::syncFontControls()
{
    const QTextCharFormat now = m_input->syncFormat();
    const QStringList families = now.fontFamilies().toStringList();
    m_toolbar->showFont(families.isEmpty() ? now.font().family() : families.first(), now.foreground().color(),
                        now.fontWeight() >= QFont::Bold, now.fontItalic());
}

void InputPanel::insertPicture(int n)
{
    m_input->insertPicture(n);
    m_input->setFocus();
    applyInputFont(m_inputFont); // typing goes on in the input font
}

void InputPanel::openPicker()
{
    // One picker at a time: a new one replaces the old.
    delete m_picker.data();
    m_picker = new TForm10;
    connect(m_picker.data(), &TForm10::pictureChosen, this, &InputPanel::insertPicture);
    connect(m_picker.data(), &TForm10::closed, this, [this] {
        m_toolbar->pickerButton()->setEnabled(true);
        applyInputFont(m_inputFont);
        m_input->setFocus();
    });
    m_toolbar->pickerButton()->setEnabled(false);
    m_picker->show();
}
