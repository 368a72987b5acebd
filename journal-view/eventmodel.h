#pragma once

#include "journalviewtypes.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QVector>

class JournalController;

// The event history, newest first, read from the journal a page at a time as the view scrolls,
// so that a journal of millions of rows opens at once.
class EventModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int PageSize = 500;
    enum Column {
        IdColumn,
        TimeColumn,
        InstallationColumn,
        NodeColumn,
        ChannelColumn,
        SlotColumn,
        RelayColumn,
        KindColumn,
        FromColumn,
        ToColumn,
        ValueColumn,
        UnitColumn,
        DetailColumn,
        AckedByColumn,
        AckedAtColumn,
        AckCommentColumn,
        ColumnCount
    };

    explicit EventModel(JournalController *controller, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    const EventFilter &filter() const { return currentFilter; }
    // Forgets the rows and reads the first page of the new filter.
    void setFilter(const EventFilter &filter);
    const JournalEvent &eventAt(int row) const { return rows.at(row); }
    bool isLoading() const { return tailTicket != 0; }
    bool atEnd() const { return reachedEnd; }
    // The texts of one event's cells, in column order.
    static QStringList cells(const JournalEvent &event);
    // The selected rows as tab-separated text with the header line first.
    QString tabSeparated(const QModelIndexList &rows) const;

signals:
    void loadFailed(const QString &reason);

private:
    void pageRead(quint64 ticket, const QVector<JournalEvent> &events, bool atEnd);
    void pageFailed(quint64 ticket, const QString &reason);
    void newEvents(const QVector<JournalEvent> &events);
    static QString cellText(const JournalEvent &event, int column);

    JournalController *const controller;
    EventFilter currentFilter;
    QVector<JournalEvent> rows;
    quint64 nextTicket = 1;
    quint64 tailTicket = 0; // the page being read at the end, 0: none
    quint64 headTicket = 0; // new rows being read for the top, 0: none
    bool headAgain = false; // more new events came while the head was read
    bool reachedEnd = false;
};
