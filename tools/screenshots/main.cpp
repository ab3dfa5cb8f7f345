// Takes the README's screenshots: six copies on 127.0.0.2 ... 127.0.0.7 with free, busy and away
// peers and two group separators, a conversation with smileys, in both colour schemes. Writes
// PNG files into the folder given as the first argument, and the settings window's pages.
#include "support/runningcopy.h"

#include "contacts/contacttable.h"
#include "contacts/options.h"
#include "platform/codepage.h"
#include "presence/presence.h"
#include "ui/inputeditor.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "app/settingscontroller.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cstdio>
#include <memory>

namespace {

struct Person
{
    const char *name;
    const char *address;
    int status;
};

const Person kPeople[] = {{"Борис", "127.0.0.3", 0}, {"Вера", "127.0.0.4", 1}, {"Глеб", "127.0.0.5", 2},
                          {"Дмитрий", "127.0.0.6", 0}, {"Елена", "127.0.0.7", 1}};

QByteArray row(int n, const QString &name, const QString &address)
{
    const QByteArray number = QByteArray::number(n).rightJustified(4, '0');
    // The settings file is in Windows-1251.
    return "user_name" + number + "=" + CodePage::fromUnicode(name) + "\r\nuser_addr" + number + "="
        + CodePage::fromUnicode(address) + "\r\n";
}

QByteArray annasTable()
{
    return row(1, QStringLiteral("Отдел продаж"), QStringLiteral("-")) + row(2, QString::fromUtf8(kPeople[0].name), QString::fromUtf8(kPeople[0].address))
        + row(3, QString::fromUtf8(kPeople[1].name), QString::fromUtf8(kPeople[1].address)) + row(4, QString::fromUtf8(kPeople[2].name), QString::fromUtf8(kPeople[2].address))
        + row(5, QStringLiteral("Бухгалтерия"), QStringLiteral("-")) + row(6, QString::fromUtf8(kPeople[3].name), QString::fromUtf8(kPeople[3].address))
        + row(7, QString::fromUtf8(kPeople[4].name), QString::fromUtf8(kPeople[4].address));
}

void send(RunningCopy &from, int tableRow, const QString &text, int picture)
{
    for (int r = 1; r <= 100; ++r)
        from.app().table().user(r)->selected = r == tableRow;
    InputEditor *input = from.app().form2()->RxRichEdit1();
    input->insertPlainText(text);
    if (picture > 0)
        from.app().form2()->insertPicture(picture);
    QTest::keyClick(input, Qt::Key_Return);
    QTest::qWait(600);
}

bool shoot(QWidget *window, const QString &path)
{
    window->raise();
    QTest::qWait(300);
    const bool saved = window->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: parlix_screenshots FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir temp;
    qputenv("TEMP", temp.path().toUtf8());
    std::vector<std::unique_ptr<RunningCopy>> peers;
    for (const Person &p : kPeople)
        peers.push_back(std::make_unique<RunningCopy>(p.address, "usernam=" + CodePage::fromUnicode(QString::fromUtf8(p.name)) + "\r\n"
                                                                      + row(1, QStringLiteral("Анна"), QStringLiteral("127.0.0.2"))));
    RunningCopy anna("127.0.0.2", "usernam=" + CodePage::fromUnicode(QStringLiteral("Анна")) + "\r\n" + annasTable());
    if (!QTest::qWaitFor([&] { return anna.app().table().user(7)->connected; }, 20000))
        return 1;
    for (size_t i = 0; i < peers.size(); ++i)
        if (kPeople[i].status != 0)
            peers[i]->app().presence().ComboBox1Change(kPeople[i].status, false);
    TForm2 *form = anna.app().form2();
    form->setGeometry(40, 40, 700, 480);
    form->arest();
    send(*peers[0], 1, QStringLiteral("Анна, привет! Отчёт готов, посмотри, пожалуйста "), 1);
    send(anna, 2, QStringLiteral("Спасибо, Борис! Уже смотрю "), 3);
    send(*peers[3], 1, QStringLiteral("Обед в час? "), 18);
    anna.app().form2()->RxRichEdit1()->insertPlainText(QStringLiteral("Да, в час у входа"));
    QTest::qWait(1500); // the roster follows on its one-second tick
    form->ListBox1()->item(1)->setSelected(true);

    bool ok = shoot(form, out.filePath(QStringLiteral("main-window.png")));
    anna.app().options().modify([](OptionValues &v) { v.std_col = true; });
    ok = shoot(form, out.filePath(QStringLiteral("main-window-standard-colours.png"))) && ok;

    // The settings window's three pages.
    anna.app().settingsController().open();
    TForm3 *settings = anna.app().form3();
    const char *pages[] = {"settings-users.png", "settings-1.png", "settings-2.png"};
    for (int page = 0; page < 3; ++page) {
        settings->PageControl1->setCurrentIndex(page);
        ok = shoot(settings, out.filePath(QString::fromLatin1(pages[page]))) && ok;
    }
    settings->close();
    return ok ? 0 : 1;
}
