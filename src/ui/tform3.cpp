#include "tform3.h"

#include "contacts/optionrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct NamedColour
{
    const char *name;
    int bbggrr;
};

// The usual sixteen colours, among them the three status defaults (lime, aqua, maroon).
const NamedColour kColours[] = {
    {"Black", 0x000000},   {"Maroon", 0x000080}, {"Green", 0x008000},   {"Olive", 0x008080},
    {"Navy", 0x800000},    {"Purple", 0x800080}, {"Teal", 0x808000},    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},    {"Lime", 0x00FF00},    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},    {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},   {"White", 0xFFFFFF},
};

QColor toColour(int bbggrr)
{
    return QColor(bbggrr & 0xff, (bbggrr >> 8) & 0xff, (bbggrr >> 16) & 0xff);
}

QLabel *boldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TForm3::TForm3(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("конфигурация программы"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->addTab(buildUsersPage(), QStringLiteral("Пользователи"));
    PageControl1->addTab(buildSettings1Page(), QStringLiteral("Настройки-1"));
    PageControl1->addTab(buildSettings2Page(), QStringLiteral("Настройки-2"));
    layout->addWidget(PageControl1, 1);
    layout->addWidget(buildBottomPanel());
    setFixedSize(625, 423);
    setIdleFieldAvailable(false);
}

QWidget *TForm3::buildUsersPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *buttons = new QHBoxLayout;
    Button4 = named(new QPushButton(QStringLiteral("вставить строчку"), page), "Button4");
    Button5 = named(new QPushButton(QStringLiteral("вставить разделитель"), page), "Button5");
    Button3 = named(new QPushButton(QStringLiteral("удалить строку"), page), "Button3");
    Button7 = named(new QPushButton(QStringLiteral("переслать список"), page), "Button7");
    for (QPushButton *b : {Button4, Button5, Button3, Button7})
        buttons->addWidget(b);
    buttons->addStretch();
    layout->addLayout(buttons);

    // The header row and the fixed column are the view's headers: they scroll with nothing,
    // cannot be edited and never hold the current cell. Rows are moved by dragging the latter.
    StringGrid1 = named(new QTableView(page), "StringGrid1");
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setShowGrid(true);
    QHeaderView *fixed = StringGrid1->verticalHeader();
    fixed->setSectionsMovable(true);
    fixed->setSectionResizeMode(QHeaderView::Fixed);
    fixed->setDefaultSectionSize(18);
    fixed->setMinimumSectionSize(18);
    fixed->setFixedWidth(10);
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    StringGrid1->horizontalHeader()->setFixedHeight(18);
    connect(fixed, &QHeaderView::sectionMoved, this, &TForm3::StringGrid1RowMoved);
    layout->addWidget(StringGrid1, 1);
    return page;
}

void TForm3::setGridModel(QAbstractItemModel *model)
{
    StringGrid1->setModel(model);
    const int widths[5] = {120, 119, 43, 301, 284};
    for (int c = 0; c < 5; ++c)
        StringGrid1->setColumnWidth(c, widths[c]);
}

QComboBox *TForm3::makeColourPicker(QWidget *parent)
{
    auto *picker = new QComboBox(parent);
    for (const NamedColour &c : kColours) {
        QPixmap swatch(12, 12);
        swatch.fill(toColour(c.bbggrr));
        picker->addItem(QIcon(swatch), QString::fromLatin1(c.name), c.bbggrr);
    }
    return picker;
}

void TForm3::setPickerColour(QComboBox *picker, int bbggrr)
{
    int index = picker->findData(bbggrr);
    if (index < 0) {
        QPixmap swatch(12, 12);
        swatch.fill(toColour(bbggrr));
        picker->addItem(QIcon(swatch), QString::number(bbggrr), bbggrr);
        index = picker->count() - 1;
    }
    picker->setCurrentIndex(index);
}

int TForm3::pickerColour(const QComboBox *picker)
{
    return picker->currentData().toInt();
}

QWidget *TForm3::buildSettings1Page()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    RxSwitch1 = named(new QCheckBox(QStringLiteral("Разрешено\nподключаться\nвсем"), page), "RxSwitch1");
    RxSwitch2 = named(new QCheckBox(QStringLiteral("Стандартные\nцвета\nWindows"), page), "RxSwitch2");
    RxSwitch3 = named(new QCheckBox(QStringLiteral("Показывать\nподключения\nи отключения"), page), "RxSwitch3");
    RxSwitch4 = named(new QCheckBox(QStringLiteral("Только\nсвой\nшрифт"), page), "RxSwitch4");
    auto *switches = new QHBoxLayout;
    for (QCheckBox *s : {RxSwitch1, RxSwitch2, RxSwitch3, RxSwitch4})
        switches->addWidget(s);
    grid->addLayout(switches, 0, 0, 1, 2);

    auto *colours = new QGridLayout;
    const char16_t *const captions[3] = {u"\"Свободные\"\nпользователи", u"\"Занятые\"\nпользователи",
                                         u"\"Ушедшие\"\nпользователи"};
    QComboBox **pickers[3] = {&ColorComboBox1, &ColorComboBox2, &ColorComboBox3};
    const char *names[3] = {"ColorComboBox1", "ColorComboBox2", "ColorComboBox3"};
    for (int i = 0; i < 3; ++i) {
        *pickers[i] = named(makeColourPicker(page), names[i]);
        colours->addWidget(new QLabel(QString::fromUtf16(captions[i]), page), 0, i);
        colours->addWidget(*pickers[i], 1, i);
    }
    grid->addLayout(colours, 1, 0, 1, 2);

    auto *count = new QHBoxLayout;
    auto *countLabel = new QLabel(QStringLiteral("Количество гудков при приеме сообщения"), page);
    countLabel->setWordWrap(true);
    count->addWidget(countLabel, 1);
    Edit3 = named(new QLineEdit(page), "Edit3");
    Edit3->setFixedWidth(40);
    count->addWidget(Edit3);
    auto *spin = new QVBoxLayout;
    spin->setSpacing(0);
    RxSpinButton1Top = named(new QToolButton(page), "RxSpinButton1Top");
    RxSpinButton1Top->setArrowType(Qt::UpArrow);
    RxSpinButton1Bottom = named(new QToolButton(page), "RxSpinButton1Bottom");
    RxSpinButton1Bottom->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {RxSpinButton1Top, RxSpinButton1Bottom}) {
        b->setFixedSize(16, 10);
        spin->addWidget(b);
    }
    count->addLayout(spin);
    connect(RxSpinButton1Top, &QToolButton::clicked, this, [this] { Edit3->setText(OptionRules::countUp(Edit3->text())); });
    connect(RxSpinButton1Bottom, &QToolButton::clicked, this,
            [this] { Edit3->setText(OptionRules::countDown(Edit3->text())); });
    grid->addLayout(count, 2, 0);

    auto *prefix = new QHBoxLayout;
    prefix->addWidget(new QLabel(QStringLiteral("Префикс ваших сообщений"), page));
    Edit4 = named(new QLineEdit(page), "Edit4");
    prefix->addWidget(Edit4);
    grid->addLayout(prefix, 3, 0);

    auto *beeps = new QVBoxLayout;
    CheckBox4 = named(new QCheckBox(QStringLiteral("гудок при получении сообщения"), page), "CheckBox4");
    CheckBox7 = named(new QCheckBox(QStringLiteral("Гудок при активном окне"), page), "CheckBox7");
    CheckBox2 = named(new QCheckBox(QStringLiteral("гудок при подключении пользователя"), page), "CheckBox2");
    CheckBox3 = named(new QCheckBox(QStringLiteral("гудок при отключении пользователя"), page), "CheckBox3");
    for (QCheckBox *c : {CheckBox4, CheckBox7, CheckBox2, CheckBox3})
        beeps->addWidget(c);
    grid->addLayout(beeps, 4, 0);

    auto *extra = new QGroupBox(QStringLiteral("Дополнительно"), page);
    auto *extraLayout = new QVBoxLayout(extra);
    CheckBox1 = named(new QCheckBox(QStringLiteral("никогда самостоятельно не всплывать"), extra), "CheckBox1");
    extraLayout->addWidget(CheckBox1);
    grid->addWidget(extra, 5, 0);

    auto *beepType = new QGroupBox(QStringLiteral("Тип гудка"), page);
    auto *typeLayout = new QGridLayout(beepType);
    RadioButton3 = named(new QRadioButton(QStringLiteral("Спикер"), beepType), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("Стандартный звук [Windows]"), beepType), "RadioButton4");
    RadioButton5 = named(new QRadioButton(QStringLiteral("Восклицание [Windows]"), beepType), "RadioButton5");
    RadioButton1 = named(new QRadioButton(QStringLiteral("Свой звук"), beepType), "RadioButton1");
    Button6 = named(new QPushButton(QStringLiteral("выбрать"), beepType), "Button6");
    typeLayout->addWidget(RadioButton3, 0, 0);
    typeLayout->addWidget(RadioButton4, 1, 0);
    typeLayout->addWidget(RadioButton5, 2, 0);
    typeLayout->addWidget(RadioButton1, 3, 0);
    typeLayout->addWidget(Button6, 4, 0, Qt::AlignRight);
    grid->addWidget(beepType, 2, 1, 3, 1);

    auto *folder = new QVBoxLayout;
    folder->addWidget(new QLabel(QStringLiteral("Каталог для\nприема файлов"), page));
    Edit_savedir = named(new QLineEdit(page), "Edit_savedir");
    Edit_savedir->installEventFilter(this);
    folder->addWidget(Edit_savedir);
    grid->addLayout(folder, 5, 1);
    grid->setRowStretch(6, 1);
    return page;
}

QWidget *TForm3::buildSettings2Page()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    auto *idle = new QHBoxLayout;
    user_active_str = named(new QLineEdit(page), "user_active_str");
    user_active_str->setFixedWidth(50);
    idle->addWidget(user_active_str);
    idle->addWidget(new QLabel(QStringLiteral("Время перехода в статус \"ушел\" при неактивности\n"
                                              "пользователя за компьтером (в секундах)"),
                               page));
    idle->addStretch();
    layout->addLayout(idle);
    auto check = [page, layout](const QString &caption, const char *name) {
        auto *box = named(new QCheckBox(caption, page), name);
        layout->addWidget(box);
        return box;
    };
    autorun = check(QStringLiteral("Автоматически запускать программу при загрузке Windows"), "autorun");
    CheckBoxSaveSt = check(QStringLiteral("Сохранять статус (свободен, занят, ушел) после перезагрузки программы"),
                           "CheckBoxSaveSt");
    CheckBox6 = check(QStringLiteral("Запрашивать сообщение для автоответчика при включении статуса \"оффлайн\""),
                      "CheckBox6");
    CheckBoxBt = check(QStringLiteral("Вывести кнопку для отправки сообщений (при этом ENTER=перевод строки в сообщении)"),
                       "CheckBoxBt");
    CheckBox8 = check(QStringLiteral("Спрашивать разрешение при приеме файлов"), "CheckBox8");
    CheckBox_log = check(QStringLiteral("Запись отладочной информации в лог (c:\\_px_log.log)"), "CheckBox_log");
    CheckBox_msg = check(QStringLiteral("Сохранение переговоров в файлах (подкаталог INCOME)"), "CheckBox_msg");
    CheckBox_let = check(QStringLiteral("Сохранение приходящих писем в файлах (подкаталог INCOME)"), "CheckBox_let");
    // A check box does not wrap its caption: the line break stands where a blank would wrap.
    CheckBox_iponly = check(QStringLiteral("В таблице адреса компьютеров только в цифровом виде (например "
                                           "192.168.1.123)\n(ускоряет прием)"),
                            "CheckBox_iponly");
    layout->addWidget(new QLabel(
        QStringLiteral("(в сетях с динамически выдаваемыми ip адресами галочку обязательно убрать!)"), page));
    CheckBox_usedns = check(QStringLiteral("Определять имена компьютеров с помощью DNS сервера"), "CheckBox_usedns");
    CheckBox_usedns->installEventFilter(this);
    connect(CheckBox_usedns, &QCheckBox::clicked, this, &TForm3::usednsTouched);
    layout->addStretch();
    return page;
}

QWidget *TForm3::buildBottomPanel()
{
    auto *panel = named(new QWidget(this), "Panel1");
    panel->setFixedHeight(63);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(boldLabel(QStringLiteral("Ваше имя"), panel), 0, 0);
    Edit1 = named(new QLineEdit(panel), "Edit1");
    Edit1->setMaxLength(99);
    QFont bold = Edit1->font();
    bold.setBold(true);
    Edit1->setFont(bold);
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm3::Edit1Change);
    connect(Edit1, &QLineEdit::textEdited, this, &TForm3::Edit1Edited);
    // Only the user's own changes call for a name notice, not the values loaded into the field.
    connect(Edit1, &QLineEdit::textEdited, this, [this] { RxSpeedButton1->setEnabled(true); });
    grid->addWidget(Edit1, 0, 1);
    RxSpeedButton1 = named(new QToolButton(panel), "RxSpeedButton1");
    RxSpeedButton1->setText(QStringLiteral("OK"));
    RxSpeedButton1->setEnabled(false);
    grid->addWidget(RxSpeedButton1, 0, 2);
    label_ip = named(new QLabel(QStringLiteral("Ваши данные:"), panel), "label_ip");
    grid->addWidget(label_ip, 0, 3);
    Edit_ip = named(new QLineEdit(panel), "Edit_ip");
    Edit_ip->setReadOnly(true);
    grid->addWidget(Edit_ip, 0, 4);
    grid->addWidget(boldLabel(QStringLiteral("Доп. информация о Вас"), panel), 1, 0);
    add_inf = named(new QLineEdit(panel), "add_inf");
    add_inf->setMaxLength(99);
    add_inf->setToolTip(QStringLiteral("будет отображаться другим собеседникам"));
    connect(add_inf, &QLineEdit::textEdited, this, [this] { RxSpeedButton1->setEnabled(true); });
    grid->addWidget(add_inf, 1, 1, 1, 2);
    Panel_restart = named(new QWidget(panel), "Panel_restart");
    auto *restart = new QHBoxLayout(Panel_restart);
    restart->setContentsMargins(0, 0, 0, 0);
    Button2 = named(new QPushButton(QStringLiteral("нужен перезапуск!"), Panel_restart), "Button2");
    restart->addWidget(Button2);
    Panel_restart->hide();
    grid->addWidget(Panel_restart, 1, 3, 1, 2);
    grid->setColumnStretch(4, 1);
    return panel;
}

void TForm3::setIdleFieldAvailable(bool available)
{
    user_active_str->setEnabled(available);
}

void TForm3::showRestartPanel(bool visible)
{
    Panel_restart->setVisible(visible);
}

bool TForm3::restartPanelVisible() const
{
    return !Panel_restart->isHidden();
}

int TForm3::currentRow() const
{
    const QModelIndex current = StringGrid1->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void TForm3::setLogPath(const QString &path)
{
    CheckBox_log->setText(QStringLiteral("Запись отладочной информации в лог (") + path + u')');
}

void TForm3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    emit shown();
}

void TForm3::Edit1Change()
{
    if (Edit1->text().isEmpty()) {
        // "User" stands selected, so that the next key replaces it.
        Edit1->setText(QStringLiteral("User"));
        Edit1->selectAll();
    }
}

void TForm3::Edit1Edited(const QString &text)
{
    // Typing never gets past 15 characters (see Edit1KeyPress); a pasted or dropped name is cut
    // here, so that the name field of the system messages keeps its width.
    const QString clean = OptionRules::pastedName(text);
    if (clean != text)
        Edit1->setText(clean);
}

bool TForm3::Edit1KeyPress(const QString &keyText)
{
    if (keyText.isEmpty() || !keyText.at(0).isPrint())
        return false;
    if (OptionRules::isNameBracket(keyText))
        return true;
    if (Edit1->text().size() >= OptionRules::kNameLength) {
        Edit1->setText(Edit1->text().left(OptionRules::kNameLength));
        Edit1->selectAll();
    }
    return false;
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        if (Edit1KeyPress(static_cast<QKeyEvent *>(event)->text()))
            return true;
    } else if (watched == Edit_savedir && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const QString fixed = OptionRules::savedir(Edit_savedir->text());
        if (fixed != Edit_savedir->text())
            Edit_savedir->setText(fixed);
    } else if (watched == CheckBox_usedns && event->type() == QEvent::KeyPress) {
        emit usednsTouched();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::StringGrid1RowMoved(int /*logicalIndex*/, int oldVisualIndex, int newVisualIndex)
{
    // The table itself moves the row; the header goes back to the order of the model.
    QHeaderView *fixed = StringGrid1->verticalHeader();
    const bool blocked = fixed->blockSignals(true);
    fixed->moveSection(newVisualIndex, oldVisualIndex);
    fixed->blockSignals(blocked);
    emit rowMoved(oldVisualIndex + 1, newVisualIndex + 1);
}
