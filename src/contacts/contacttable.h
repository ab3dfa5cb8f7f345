#pragma once

#include "listfile.h"
#include "users.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

// What the row operations need from presence and transport: keeping the roster selection,
// rebuilding the roster, and telling a connected peer that it is being deleted.
class ContactTableHooks
{
public:
    virtual ~ContactTableHooks() = default;
    virtual void keepselection() {}
    virtual void rebuildroster() {}
    // Sends the offline notice "[px004]" to the row's peer and waits about a second for it.
    virtual void sendOfflineNoticeForDeletedRow(int /*row*/) {}
};

// One row as worker threads see it: a copy taken on the main thread.
struct ContactRowSnapshot
{
    QString name;
    QString address;
    QString port;
    bool connected = false;
    int status = 0;
    QString peeraddr;
};

// The contact table: slot 0 is the header row, rows 1 to 100 are contacts with five cells each
// (name, address, port, extra information, notes; cell 0 is the grid's empty fixed column) and a
// Users record that travels with its row. Lives on the main thread.
class ContactTable : public QObject
{
    Q_OBJECT
public:
    static constexpr int MAXUSERS = 101;
    enum Column { Fixed = 0, Name = 1, Address = 2, Port = 3, Extra = 4, Notes = 5 };

    explicit ContactTable(QObject *parent = nullptr);

    void setHooks(ContactTableHooks *hooks) { m_hooks = hooks; }

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    Users *user(int row) const; // nullptr for row 0 and rows out of range

    int rowport(int row) const;
    static int portFromCell(const QString &cell);
    static bool isFreeRow(const QString &address) { return address.isEmpty(); }
    // The roster's rule: the trimmed address begins with "-".
    static bool isSeparatorForRoster(const QString &address) { return address.trimmed().startsWith(u'-'); }

    void setHeaderTitles();

    void deleterow(int row);
    void insertrow(int row);
    void insertseparator(int row, const QString &label);
    void moverow(int from, int to);

    ListFile::Table cells() const;          // columns 1..5 of rows 0..100, for saving
    void setCells(const ListFile::Table &table);
    std::vector<ContactRowSnapshot> snapshot() const; // index = row, 0..100

signals:
    void changed();

private:
    void clearRow(int row);
    void moveRowData(int from, int to);
    void insertBlankRow(int row);

    std::array<std::array<QString, 6>, MAXUSERS> m_cells;
    std::array<std::unique_ptr<Users>, MAXUSERS> m_users;
    ContactTableHooks m_noHooks;
    ContactTableHooks *m_hooks = &m_noHooks;
};
