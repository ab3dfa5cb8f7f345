#pragma once

#include <QList>
#include <QSet>
#include <QWidget>

class QLabel;
class QListWidget;
class RosterDelegate;

// The roster column: the header "пользователи" above the owner-drawn list of connected peers and
// separators. Clicking the header drops the separators from the selection.
class RosterPanel : public QWidget
{
    Q_OBJECT
public:
    struct Entry
    {
        QString label;
        int status = 0;
        bool separator = false;
    };

    explicit RosterPanel(QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QLabel *header() const { return m_header; }
    RosterDelegate *delegate() const { return m_delegate; }

    void showEntries(const QList<Entry> &entries, const QSet<int> &selected);
    QSet<int> selectedItems() const;
    // Keeps the selected contacts and deselects every separator.
    void headerClick();
    void setColours(const QColor &background, const QColor &text);

signals:
    void selectionChanged(const QSet<int> &selected);
    void clicked();
    void addressListRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_header = nullptr;
    QListWidget *m_list = nullptr;
    RosterDelegate *m_delegate = nullptr;
};
