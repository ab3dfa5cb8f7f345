#include "tform6.h"

#include "dialogs.h"

#include "platform/rtf/rtfdocument.h"

#include <QFileDialog>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

TForm6::TForm6(const QString &caption, std::function<bool()> mainWindowVisible, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_mainWindowVisible(std::move(mainWindowVisible))
{
    setObjectName(QStringLiteral("Form6"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    resize(608, 450);
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QMenuBar(this);
    QMenu *menu = bar->addMenu(QStringLiteral("Меню"));
    connect(menu->addAction(QStringLiteral("Сохранить")), &QAction::triggered, this, &TForm6::save);
    connect(menu->addAction(QStringLiteral("Печать")), &QAction::triggered, this, &TForm6::print);
    layout->setMenuBar(bar);
    m_view = new QTextEdit(this);
    m_view->setReadOnly(true);
    layout->addWidget(m_view);
    m_timer.setInterval(60000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_mainWindowVisible && m_mainWindowVisible()) {
            show();
            raise();
        }
    });
    m_timer.start();
}

void TForm6::save()
{
    if (Dialogs::headless())
        return;
    const QString path = QFileDialog::getSaveFileName(this, QString(), QStringLiteral("file1.rtf"),
                                                      QStringLiteral("All files (*);;DOC files (*.doc);;XLS files (*.xls)"));
    if (!path.isEmpty())
        RtfDocument::saveFile(*m_view->document(), path);
}

void TForm6::print()
{
    if (Dialogs::headless())
        return;
    QPrinter printer;
    printer.setDocName(QStringLiteral("message"));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_view->document()->print(&printer);
}
