#pragma once

#include "journalviewtypes.h"

#include <QAbstractTableModel>
#include <QVector>

// The alarm summary: every alarm that is active or not yet acknowledged, newest first.
class AlarmModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        LampColumn, // the window places a lamp here
        StateColumn,
        SinceColumn,
        InstallationColumn,
        NodeColumn,
        ChannelColumn,
        MeasurementColumn,
        UnitColumn,
        ValueColumn,
        RaisedColumn,
        AcknowledgedColumn,
        ColumnCount
    };
    // How a lamp shows an alarm: amber for an alert, red for everything worse.
    enum class Severity { Alert, Danger };
    enum Role {
        SeverityRole = Qt::UserRole + 1, // Severity as int
        BlinkRole,                       // bool: active and nobody has acknowledged it
        ActiveRole,                      // bool
        EventIdRole,                     // qint64
    };

    explicit AlarmModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setAlarms(const QVector<SummaryAlarm> &alarms);
    const SummaryAlarm &alarmAt(int row) const { return rows.at(row); }
    int activeCount() const;
    int unacknowledgedCount() const;

    static Severity severity(const JournalEvent &event);
    // "Danger, active, unacknowledged": read without the colour.
    static QString stateText(const AlarmEntry &alarm);

private:
    QVector<SummaryAlarm> rows;
};
