#include "eventmodel.h"

#include "journalcontroller.h"
#include "journalformat.h"

#include <QDateTime>
#include <QSet>

#include <algorithm>

EventModel::EventModel(JournalController *controller, QObject *parent)
    : QAbstractTableModel(parent)
    , controller(controller)
{
    connect(controller, &JournalController::pageRead, this, &EventModel::pageRead);
    connect(controller, &JournalController::pageFailed, this, &EventModel::pageFailed);
    connect(controller, &JournalController::newEvents, this, &EventModel::newEvents);
}

int EventModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int EventModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString EventModel::cellText(const JournalEvent &e, int column)
{
    auto number = [](int n) { return n ? QString::number(n) : QString(); };
    switch (column) {
    case IdColumn:
        return QString::number(e.id);
    case TimeColumn:
        return JournalFormat::time(e.timeMs);
    case InstallationColumn:
        return e.installation;
    case NodeColumn:
        return number(e.node);
    case ChannelColumn:
        return number(e.channel);
    case SlotColumn:
        return number(e.slot);
    case RelayColumn:
        return number(e.relay);
    case KindColumn:
        return Journal::kindName(e.kind);
    case FromColumn:
        return e.from;
    case ToColumn:
        return e.to;
    case ValueColumn:
        return e.hasValue ? JournalFormat::value(e.value) : QString();
    case UnitColumn:
        return e.unit;
    case DetailColumn:
        return e.detail;
    case AckedByColumn:
        return e.ackedBy;
    case AckedAtColumn:
        return e.ackedAtMs ? JournalFormat::time(e.ackedAtMs) : QString();
    case AckCommentColumn:
        return e.ackComment;
    }
    return QString();
}

QStringList EventModel::cells(const JournalEvent &event)
{
    QStringList out;
    for (int c = 0; c < ColumnCount; ++c)
        out << cellText(event, c);
    return out;
}

QVariant EventModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (role == Qt::DisplayRole)
        return cellText(rows.at(index.row()), index.column());
    if (role == Qt::UserRole)
        return rows.at(index.row()).id;
    return QVariant();
}

QVariant EventModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case IdColumn:
        return tr("Id");
    case TimeColumn:
        return tr("Time");
    case InstallationColumn:
        return tr("Installation");
    case NodeColumn:
        return tr("Node");
    case ChannelColumn:
        return tr("Channel");
    case SlotColumn:
        return tr("Slot");
    case RelayColumn:
        return tr("Relay");
    case KindColumn:
        return tr("Kind");
    case FromColumn:
        return tr("From");
    case ToColumn:
        return tr("To");
    case ValueColumn:
        return tr("Value");
    case UnitColumn:
        return tr("Unit");
    case DetailColumn:
        return tr("Detail");
    case AckedByColumn:
        return tr("Acknowledged by");
    case AckedAtColumn:
        return tr("Acknowledged at");
    case AckCommentColumn:
        return tr("Comment");
    }
    return QVariant();
}

bool EventModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !reachedEnd && tailTicket == 0;
}

void EventModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    EventFilter f = currentFilter;
    if (!rows.isEmpty()) {
        f.beforeTimeMs = rows.last().timeMs;
        f.beforeId = rows.last().id;
    }
    tailTicket = nextTicket++;
    controller->fetchPage(tailTicket, f, PageSize);
}

void EventModel::setFilter(const EventFilter &filter)
{
    beginResetModel();
    currentFilter = filter;
    rows.clear();
    reachedEnd = false;
    tailTicket = 0;
    headTicket = 0;
    headAgain = false;
    endResetModel();
    fetchMore(QModelIndex());
}

void EventModel::pageRead(quint64 ticket, const QVector<JournalEvent> &events, bool atEnd)
{
    if (ticket == tailTicket) {
        // Still busy while the rows go in: a view asking for more on the insertion would
        // otherwise read this page again.
        if (!events.isEmpty()) {
            beginInsertRows(QModelIndex(), rows.size(), rows.size() + events.size() - 1);
            rows += events;
            endInsertRows();
        }
        tailTicket = 0;
        reachedEnd = atEnd;
        if (headAgain) {
            headAgain = false;
            newEvents({});
        }
    } else if (ticket == headTicket) {
        // A row already shown (read by a page meanwhile) is not shown twice.
        QSet<qint64> shown;
        for (int i = 0; i < rows.size() && i < events.size() + PageSize; ++i)
            shown.insert(rows[i].id);
        QVector<JournalEvent> fresh;
        for (const JournalEvent &e : events)
            if (!shown.contains(e.id))
                fresh << e;
        if (!fresh.isEmpty()) {
            beginInsertRows(QModelIndex(), 0, fresh.size() - 1);
            rows = fresh + rows;
            endInsertRows();
        }
        headTicket = 0;
        if (headAgain) {
            headAgain = false;
            newEvents({});
        }
    }
}

void EventModel::pageFailed(quint64 ticket, const QString &reason)
{
    if (ticket == tailTicket)
        tailTicket = 0;
    else if (ticket == headTicket)
        headTicket = 0;
    else
        return;
    emit loadFailed(reason);
}

void EventModel::newEvents(const QVector<JournalEvent> &events)
{
    // An acknowledgement changes rows already shown: read them again.
    if (std::any_of(events.cbegin(), events.cend(),
                    [](const JournalEvent &e) { return e.kind == Journal::Kind::Acknowledged; })) {
        setFilter(currentFilter);
        return;
    }
    if (currentFilter.toMs && currentFilter.toMs <= QDateTime::currentMSecsSinceEpoch())
        return;
    // One read of new rows at a time; and none before the first page says where the top is.
    if (headTicket || (rows.isEmpty() && tailTicket)) {
        headAgain = true;
        return;
    }
    EventFilter f = currentFilter;
    f.afterId = 0;
    for (const JournalEvent &e : qAsConst(rows))
        f.afterId = qMax(f.afterId, e.id);
    headTicket = nextTicket++;
    controller->fetchPage(headTicket, f, PageSize);
}

QString EventModel::tabSeparated(const QModelIndexList &selection) const
{
    QVector<int> picked;
    for (const QModelIndex &index : selection)
        if (index.isValid() && !picked.contains(index.row()))
            picked << index.row();
    std::sort(picked.begin(), picked.end());
    QStringList lines;
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c)
        header << headerData(c, Qt::Horizontal).toString();
    lines << header.join(QLatin1Char('\t'));
    for (int row : qAsConst(picked)) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c) {
            QString text = cellText(rows.at(row), c);
            // A tab or line break inside a cell would split it on pasting.
            text.replace(QLatin1Char('\t'), QLatin1Char(' '));
            text.replace(QLatin1Char('\n'), QLatin1Char(' '));
            cells << text;
        }
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
