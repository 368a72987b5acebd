#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QSortFilterProxyModel>
#include <QStringList>

// Every operation the inspector ran, oldest first, at most `limit` rows: the oldest go first.
// Captures read in the background are marked, for OperationLogFilter to hide.
class OperationLog : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TimeColumn, OperationColumn, ResultColumn, ErrorColumn, ColumnCount };
    // data() of any column: true for a background read.
    static constexpr int BackgroundRole = Qt::UserRole;

    explicit OperationLog(int limit, QObject *parent = nullptr);
    ~OperationLog() override;

    void append(const QString &operation, bool ok, const QString &error, bool background);
    // The rows appended since the last call, background reads left out, one line each:
    // "2026-12-08 01:30:00.123<TAB>OK|Failed<TAB>operation<TAB>error", for the archive.
    QStringList takePending();
    // The captions and the result words follow a language switch.
    void retranslate();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Entry
    {
        QDateTime time;
        QString operation;
        bool ok = false;
        QString error;
        bool background = false;
    };

    const int limit;
    QList<Entry> entries;
    int pending = 0; // the newest rows not yet taken
};

// The log as shown: background reads only when asked for.
class OperationLogFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit OperationLogFilter(QObject *parent = nullptr);
    ~OperationLogFilter() override;

    void setShowBackground(bool show);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    bool showBackground = false;
};
