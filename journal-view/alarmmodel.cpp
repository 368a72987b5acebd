#include "alarmmodel.h"

#include "journalformat.h"
#include "meascatalogue.h"

#include <QLocale>

namespace {

QString kindText(const JournalEvent &e)
{
    switch (e.kind) {
    case Journal::Kind::Alert:
        return AlarmModel::tr("Alert");
    case Journal::Kind::Danger:
        return AlarmModel::tr("Danger");
    case Journal::Kind::Failure:
        return AlarmModel::tr("Failure");
    case Journal::Kind::ChannelStatus:
        return e.to;
    case Journal::Kind::RelayFault:
        return AlarmModel::tr("Relay fault");
    default:
        return Journal::kindName(e.kind);
    }
}

} // namespace

AlarmModel::AlarmModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int AlarmModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int AlarmModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

AlarmModel::Severity AlarmModel::severity(const JournalEvent &event)
{
    return event.kind == Journal::Kind::Alert ? Severity::Alert : Severity::Danger;
}

QString AlarmModel::stateText(const AlarmEntry &alarm)
{
    return tr("%1, %2, %3")
        .arg(kindText(alarm.event), alarm.active ? tr("active") : tr("cleared"),
             alarm.event.ackedBy.isEmpty() ? tr("unacknowledged") : tr("acknowledged"));
}

QVariant AlarmModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const SummaryAlarm &s = rows.at(index.row());
    const JournalEvent &e = s.alarm.event;
    switch (role) {
    case SeverityRole:
        return int(severity(e));
    case BlinkRole:
        return s.alarm.active && e.ackedBy.isEmpty();
    case ActiveRole:
        return s.alarm.active;
    case EventIdRole:
        return e.id;
    case Qt::ToolTipRole:
        if (index.column() == LampColumn)
            return stateText(s.alarm);
        if (index.column() == AcknowledgedColumn && !e.ackedBy.isEmpty())
            return e.ackComment;
        if (index.column() == StateColumn && s.alarm.clearedMs)
            return tr("Cleared at %1").arg(JournalFormat::time(s.alarm.clearedMs));
        return QVariant();
    case Qt::DisplayRole:
        break;
    default:
        return QVariant();
    }
    auto number = [](int n) { return n ? QVariant(n) : QVariant(); };
    switch (index.column()) {
    case StateColumn:
        return stateText(s.alarm);
    case SinceColumn:
        return JournalFormat::time(e.timeMs);
    case InstallationColumn:
        return e.installation;
    case NodeColumn:
        return number(e.node);
    case ChannelColumn:
        return e.relay ? QVariant(tr("relay %1").arg(e.relay)) : number(e.channel);
    case MeasurementColumn:
        return MeasCatalogue::typeName(s.measType);
    case UnitColumn:
        return s.measType ? MeasCatalogue::typeUnit(s.measType) : e.unit;
    case ValueColumn:
        return e.hasValue ? QLocale().toString(double(e.value), 'g', 7) : QString();
    case RaisedColumn:
        return s.alarm.raisedCount;
    case AcknowledgedColumn:
        return e.ackedBy.isEmpty()
                   ? QString()
                   : tr("%1 at %2").arg(e.ackedBy, JournalFormat::time(e.ackedAtMs));
    }
    return QVariant();
}

QVariant AlarmModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case LampColumn:
        return QString();
    case StateColumn:
        return tr("State");
    case SinceColumn:
        return tr("Since");
    case InstallationColumn:
        return tr("Installation");
    case NodeColumn:
        return tr("Node");
    case ChannelColumn:
        return tr("Channel");
    case MeasurementColumn:
        return tr("Measurement");
    case UnitColumn:
        return tr("Unit");
    case ValueColumn:
        return tr("Value");
    case RaisedColumn:
        return tr("Raised in 24 h");
    case AcknowledgedColumn:
        return tr("Acknowledged");
    }
    return QVariant();
}

void AlarmModel::setAlarms(const QVector<SummaryAlarm> &alarms)
{
    beginResetModel();
    rows = alarms;
    endResetModel();
}

int AlarmModel::activeCount() const
{
    return int(std::count_if(rows.cbegin(), rows.cend(),
                             [](const SummaryAlarm &s) { return s.alarm.active; }));
}

int AlarmModel::unacknowledgedCount() const
{
    return int(std::count_if(rows.cbegin(), rows.cend(), [](const SummaryAlarm &s) {
        return s.alarm.event.ackedBy.isEmpty();
    }));
}
