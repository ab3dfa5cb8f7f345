// The main window's own behaviour: roster drawing, header click, tray blinking, hiding and
// restoring, the splitter and the bottom bar, the toolbar's fonts and the smiley picker.
#include "support/runningcopy.h"

#include "contacts/optionvalues.h"
#include "platform/rtf/statuspictures.h"
#include "presence/fontoptions.h"
#include "ui/bottombar.h"
#include "ui/formattoolbar.h"
#include "ui/headerstrip.h"
#include "ui/inputeditor.h"
#include "ui/rosterdelegate.h"
#include "ui/tform10.h"
#include "ui/tform3.h"
#include "ui/tform2.h"
#include "ui/trayicon.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QColor kFree(0, 255, 0);
const QColor kBusy(0, 255, 255);
const QColor kAway(128, 0, 0);

// The list's drawing of item i.
QImage drawnItem(QListWidget *list, int i)
{
    const QImage all = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    return all.copy(list->visualItemRect(list->item(i)));
}

// Columns holding a pixel of exactly this colour.
QList<int> columnsOf(const QImage &image, const QColor &colour, int y0 = 0, int y1 = -1)
{
    QList<int> columns;
    if (y1 < 0)
        y1 = image.height() - 1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = y0; y <= y1; ++y)
            if (image.pixelColor(x, y) == colour) {
                columns.append(x);
                break;
            }
    return columns;
}

QString settingsText(RunningCopy &copy)
{
    QFile file(copy.home() + "/parlix7.ini");
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

QList<QTextImageFormat> picturesIn(QTextDocument *document)
{
    QList<QTextImageFormat> pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                pictures.append(it.fragment().charFormat().toImageFormat());
    return pictures;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void rosterDrawsSeparatorsAndContacts()
    {
        TForm2 form;
        form.setStatusColours(kFree, kBusy, kAway);
        form.showRoster({{QStringLiteral("Отдел"), 0, true}, {QStringLiteral("Bob"), 1, false}}, {0});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QListWidget *list = form.ListBox1();
        QCOMPARE(list->visualItemRect(list->item(0)).height(), RosterDelegate::kRowHeight);

        // The separator, selected: three lines through the middle, its label centred in the free colour.
        const QImage separator = drawnItem(list, 0);
        const QColor line = QApplication::palette().color(QPalette::WindowText);
        const int m = separator.height() / 2;
        for (int y : {m - 1, m, m + 1})
            QCOMPARE(separator.pixelColor(1, y), line);
        QVERIFY(separator.pixelColor(1, m - 2) != line && separator.pixelColor(1, m + 2) != line);
        const QList<int> label = columnsOf(separator, kFree);
        QVERIFY(!label.isEmpty());
        const int centre = (label.first() + label.last()) / 2;
        QVERIFY2(qAbs(centre - separator.width() / 2) <= 3, qPrintable(QString::number(centre)));

        // The busy contact: its picture at the left edge, its name in the busy colour from x = 16.
        const QImage contact = drawnItem(list, 1);
        const QList<int> name = columnsOf(contact, kBusy);
        QVERIFY(!name.isEmpty());
        QVERIFY(name.first() >= RosterDelegate::kNameOffset);
        const QImage picture = StatusPictures::picture(1);
        bool pictureDrawn = false;
        for (int x = 0; x < picture.width() && !pictureDrawn; ++x)
            for (int y = 0; y < contact.height() && y < picture.height() && !pictureDrawn; ++y)
                pictureDrawn = picture.pixelColor(x, y) != Qt::white
                               && contact.pixelColor(x, y) == picture.pixelColor(x, y).toRgb();
        QVERIFY(pictureDrawn);
    }

    void headerClickDropsSeparatorsFromTheSelection()
    {
        TForm2 form;
        form.showRoster({{QStringLiteral("A"), 0, false}, {QStringLiteral("grp"), 0, true}, {QStringLiteral("B"), 2, false}},
                        {0, 1, 2});
        QSet<int> reported{-1};
        connect(&form, &TForm2::rosterSelectionChanged, this, [&reported](const QSet<int> &s) { reported = s; });
        QTest::mouseClick(form.roster()->header(), Qt::LeftButton);
        QCOMPARE(form.roster()->selectedItems(), (QSet<int>{0, 2}));
        QCOMPARE(reported, QSet<int>{-1}); // the recipients are left as they were
    }

    void trayBlinksUnderTheAttentionMark()
    {
        TForm2 form;
        form.showOwnStatus(1, kBusy);
        QCOMPARE(form.tray()->iconList(), QList<int>{2});
        QCOMPARE(form.tray()->interval(), 5000);
        form.setAttention(true);
        QCOMPARE(form.tray()->iconList(), (QList<int>{1, 2, 3}));
        QCOMPARE(form.tray()->interval(), 200);
        QVERIFY(form.tray()->animating());
        form.arest(); // bringing the window up ends the blinking
        QVERIFY(!form.attention());
        QCOMPARE(form.tray()->iconList(), QList<int>{2});
        QCOMPARE(form.tray()->interval(), 5000);
    }

    void closingHidesAndRestoringKeepsMaximised()
    {
        TForm2 form;
        form.setGeometry(10, 10, 630, 460);
        form.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.close();
        QVERIFY(form.isHidden());
        form.arest();
        QTRY_VERIFY(form.isMaximized());

        form.showNormal();
        form.resize(300, 400);
        QCOMPARE(form.width(), 500);
    }

    void activationWhileHiddenSendsEverythingToTheTray()
    {
        RunningCopy copy("127.0.5.1");
        QWidget letter;
        letter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&letter));
        QVERIFY(copy.app().form2()->isHidden());
        QEvent activate(QEvent::ApplicationActivate);
        QCoreApplication::sendEvent(qApp, &activate);
        QVERIFY(letter.isMinimized());
        copy.app().form2()->arest(); // and the tray brings them back
        QVERIFY(copy.app().form2()->isVisible());
        QVERIFY(!letter.isMinimized());
    }

    void bottomBarKeysHideTheirButtons()
    {
        RunningCopy hidden("127.0.5.2", "bt_opt=0\r\nbt_stt=0\r\nbt_pct=0\r\nbt_fls=0\r\n");
        RunningCopy shown("127.0.5.3", "bt_stt=1\r\nbt_pct=yes\r\n");
        for (RunningCopy *copy : {&hidden, &shown}) {
            TForm2 *form = copy->app().form2();
            const bool visible = copy == &shown;
            QCOMPARE(form->bottomBar()->settingsButton()->isVisibleTo(form), visible);
            QCOMPARE(form->ComboBox1()->isVisibleTo(form), visible);
            QCOMPARE(form->RxSpeedButton5()->isVisibleTo(form), visible);
            QCOMPARE(form->RxSpeedButton6()->isVisibleTo(form), visible);
        }
        hidden.app().savesettings(); // kept as they were, never written twice
        QCOMPARE(settingsText(hidden).count("bt_stt="), 1);
    }

    void settingsButtonOpensTheSettingsWindow()
    {
        RunningCopy copy("127.0.5.6");
        TForm2 *form = copy.app().form2();
        form->arest();
        QTest::mouseClick(form->bottomBar()->settingsButton(), Qt::LeftButton);
        TForm3 *settings = copy.app().form3();
        QVERIFY(settings->isVisible());
        QVERIFY(!settings->user_active_str->isEnabled()); // offscreen nothing measures idleness
        settings->close();
        QTRY_VERIFY(!settings->isVisible());
    }

    void menuToggleIsRememberedAcrossRuns()
    {
        {
            RunningCopy copy("127.0.5.4");
            TForm2 *form = copy.app().form2();
            QVERIFY(form->menuShown());
            QCOMPARE(form->header()->menuToggle()->text(), QStringLiteral("выкл.меню"));
            QTest::mouseClick(form->header()->menuToggle(), Qt::LeftButton);
            QVERIFY(!form->menuShown());
            QCOMPARE(form->header()->menuToggle()->text(), QStringLiteral("вкл. меню"));
            QCOMPARE(form->bottomBar()->maximumHeight(), 1);
            QVERIFY(!form->bottomBar()->isEnabled());
            copy.app().savesettings();
            QVERIFY(settingsText(copy).contains("menu_on=0"));
        }
        RunningCopy next("127.0.5.4", "menu_on=0\r\n");
        QVERIFY(!next.app().form2()->menuShown());
        QCOMPARE(next.app().form2()->bottomBar()->maximumHeight(), 1);
    }

    void splitterLimitsAndSliderpos()
    {
        RunningCopy copy("127.0.5.5", "sliderpos=123\r\n");
        TForm2 *form = copy.app().form2();
        form->arest();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTRY_COMPARE(form->inputHeight(), 123);

        // Dragged to the very top: the conversation keeps 40 pixels.
        QSplitter *slider = form->slider();
        slider->setSizes({0, slider->height()});
        emit slider->splitterMoved(0, 1);
        QCOMPARE(form->inputHeight(), slider->height() - 40);
        QVERIFY(settingsText(copy).contains(QStringLiteral("sliderpos=%1").arg(form->inputHeight())));
        // Dragged to the bottom: the toolbar stays.
        slider->setSizes({slider->height(), 0});
        emit slider->splitterMoved(slider->height(), 1);
        QVERIFY(form->inputHeight() >= FormatToolbar::kHeight);
    }

    void letterModeGivesRoomAndTakesItBack()
    {
        TForm2 form;
        form.setGeometry(10, 10, 630, 460);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setInputHeight(90);
        QTRY_COMPARE(form.inputHeight(), 90);
        QVERIFY(!form.Button1()->isVisibleTo(&form));
        form.RxSpeedButton5()->setChecked(true);
        QVERIFY(form.Button1()->isVisibleTo(&form));
        QVERIFY(qAbs(form.inputHeight() - form.slider()->height() / 2) <= form.slider()->handleWidth());
        form.setLetterMode(false);
        QVERIFY(!form.RxSpeedButton5()->isChecked());
        QCOMPARE(form.inputHeight(), 90);
        QVERIFY(!form.Button1()->isVisibleTo(&form));
    }

    void boldChosenOnAnEmptyEditorOutlivesTheSend()
    {
        TForm2 form;
        OptionValues values;
        values.e_fontbld = false;
        form.applyInputFont(FontOptions::inputFont(values));
        InputEditor *input = form.RxRichEdit1();
        QTextCharFormat seen;
        connect(&form, &TForm2::inputFontChanged, this, [&seen](const QTextCharFormat &f) { seen = f; });
        QTest::mouseClick(form.toolbar()->btn_bld(), Qt::LeftButton);
        QCOMPARE(seen.fontWeight(), int(QFont::Bold));
        QTest::keyClicks(input, "x");
        input->clear(); // what a send does
        form.syncFontControls();
        QTest::keyClicks(input, "y");
        QTextCursor at(input->document());
        at.movePosition(QTextCursor::End);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(form.toolbar()->btn_bld()->isChecked());
    }

    void colourSchemes()
    {
        TForm2 form;
        OptionValues values;
        form.applyOptions(values);
        QCOMPARE(form.RichEdit1()->palette().color(QPalette::Base), QColor(192, 192, 192));
        QCOMPARE(form.RxRichEdit1()->palette().color(QPalette::Base), QColor(192, 192, 192));
        QCOMPARE(form.ListBox1()->palette().color(QPalette::Base), QColor(0, 128, 128));
        QCOMPARE(form.ListBox1()->palette().color(QPalette::Text), QColor(255, 255, 0));
        values.std_col = true;
        form.applyOptions(values);
        const QPalette system = QApplication::palette();
        QCOMPARE(form.RichEdit1()->palette().color(QPalette::Base), system.color(QPalette::Base));
        QCOMPARE(form.ListBox1()->palette().color(QPalette::Base), system.color(QPalette::Base));
        QCOMPARE(form.ListBox1()->palette().color(QPalette::Text), system.color(QPalette::Text));
        QCOMPARE(form.RxRichEdit1()->palette().color(QPalette::Text), system.color(QPalette::Text));
    }

    void pickerInsertsTheCellsPicture()
    {
        TForm2 form;
        form.show();
        QToolButton *button = form.toolbar()->pickerButton();
        QTest::mouseClick(button, Qt::LeftButton);
        TForm10 *picker = form.picker();
        QVERIFY(picker && picker->isVisible());
        QVERIFY(!button->isEnabled());
        QCOMPARE(picker->size(), QSize(525, 328));
        QCOMPARE(picker->windowTitle(), QStringLiteral("Нажмте на смайлик для вставки"));
        // Row 3, column 2 (both counted from 1) holds picture 18.
        QTest::mouseClick(picker, Qt::LeftButton, {}, TForm10::cellRect(1, 2).center());
        QVERIFY(!picker->isVisible());
        QVERIFY(button->isEnabled());
        const QList<QTextImageFormat> pictures = picturesIn(form.RxRichEdit1()->document());
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(QSize(qRound(pictures[0].width()), qRound(pictures[0].height())), QSize(51, 35));

        // Keys are the picker's: arrows do nothing, Esc closes; a new opening replaces the old picker.
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::keyClick(form.picker(), Qt::Key_Right);
        QVERIFY(form.picker()->isVisible());
        QTest::keyClick(form.picker(), Qt::Key_Escape);
        QVERIFY(!form.picker()->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        int pickers = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            pickers += qobject_cast<TForm10 *>(window) != nullptr;
        QCOMPARE(pickers, 1);
    }

    void pictureButtonsInsertPictureOneAndThree()
    {
        TForm2 form;
        QTest::mouseClick(form.toolbar()->pictureButton(1), Qt::LeftButton);
        QTest::mouseClick(form.toolbar()->pictureButton(3), Qt::LeftButton);
        QCOMPARE(picturesIn(form.RxRichEdit1()->document()).size(), 2);
        QTest::keyClicks(form.RxRichEdit1(), "z");
        QTextCursor at(form.RxRichEdit1()->document());
        at.movePosition(QTextCursor::End);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold)); // typing goes on in the input font
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
