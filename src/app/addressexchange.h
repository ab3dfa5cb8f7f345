#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class ParlixApp;
class TForm9;

// Contact addresses passed between peers: the roster's "передать список" with its chooser and
// one list file and send job per recipient, and on the receiving side the question, the filling
// of free rows and the presence restart.
class AddressExchange : public QObject
{
    Q_OBJECT
public:
    explicit AddressExchange(ParlixApp &app, QObject *parent = nullptr);
    ~AddressExchange() override;

    // N12Click: opens the chooser, modal but without blocking the caller.
    void N12Click();
    TForm9 *chooser() const;

    // The address-list branch of analyze22: `received` is the whole collected text, beginning
    // with the sender's file name line.
    void analyze22List(const QByteArray &received, const QString &sender);

signals:
    void listHandled(int rowsFilled); // after the question, also when it was answered No

private:
    void Button1Click();

    ParlixApp &m_app;
    QPointer<TForm9> m_chooser;
};
