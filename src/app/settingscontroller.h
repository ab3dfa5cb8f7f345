#pragma once

#include "contacts/optionvalues.h"

#include <QObject>

#include <memory>
#include <vector>

class ContactGridModel;
class ParlixApp;
class QAbstractButton;
class QComboBox;
class QLineEdit;
class TForm3;

// Wires the settings window to the running copy: its controls show and change the options, its
// grid is a view over the contact table, its buttons run the row operations, the name notice and
// the restart, and closing it saves. The own-data line is looked up off the main thread.
class SettingsController : public QObject
{
    Q_OBJECT
public:
    explicit SettingsController(ParlixApp &app, QObject *parent = nullptr);
    ~SettingsController() override;

    // The main window's settings button: shows the window modally without blocking the caller;
    // when it closes, the program restarts if a change needs it.
    void open();
    bool restartNeeded() const { return m_restartNeeded; }

    // Fills "Edit_ip" with the own address and names. The lookups run on a thread of their own,
    // and the line appears when they are done; a later call wins over an earlier one. While the
    // window is hidden nobody sees the line: it is looked up when the window is next shown.
    void showownaddress();

    // The re-initialisation after a change that needs it: the offline notice to the connected
    // peers, and once it is out, `initall` with its poll of every row.
    void restartPresence();

    ContactGridModel *gridModel() const { return m_model.get(); }

signals:
    void ownAddressShown(const QString &line);
    void restarted(); // initall has run again

private:
    struct LookupTarget;

    void bindControls();
    void showOptions();
    template <typename Change>
    void changeOptions(Change change);
    void applyStandardColours(bool on);
    void namefieldFromEdit1();
    void insertSeparator();
    void chooseSound();
    void Button2Click();
    void FormClose();
    void showOwnAddressLine(quint64 ticket, const QString &line);

    ParlixApp &m_app;
    TForm3 &m_form;
    std::unique_ptr<ContactGridModel> m_model;
    std::vector<std::pair<QAbstractButton *, bool OptionValues::*>> m_flags;
    std::vector<std::pair<QLineEdit *, QString OptionValues::*>> m_texts;
    std::vector<std::pair<QComboBox *, int OptionValues::*>> m_colours;
    bool m_filling = false;
    bool m_writing = false;
    bool m_standardColours = false; // the views start in their design colours
    bool m_restartNeeded = false;
    bool m_ownAddressStale = true;
    quint64 m_lookupTicket = 0;
    std::shared_ptr<LookupTarget> m_lookupTarget;
};
