#include "operationlog.h"

#include <QColor>
#include <QCoreApplication>

namespace {

// The window's words, kept in its translation context.
QString windowText(const char *text)
{
    return QCoreApplication::translate("ModuleWindow", text);
}

} // namespace

OperationLog::OperationLog(int limit, QObject *parent)
    : QAbstractTableModel(parent)
    , limit(qMax(1, limit))
{}

OperationLog::~OperationLog() = default;

void OperationLog::append(const QString &operation, bool ok, const QString &error, bool background)
{
    if (entries.size() >= limit) {
        const int excess = entries.size() - limit + 1;
        beginRemoveRows(QModelIndex(), 0, excess - 1);
        entries.erase(entries.begin(), entries.begin() + excess);
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), entries.size(), entries.size());
    entries.append({QDateTime::currentDateTime(), operation, ok, error, background});
    endInsertRows();
    pending = qMin(pending + 1, entries.size());
}

QStringList OperationLog::takePending()
{
    QStringList lines;
    for (int i = entries.size() - pending; i < entries.size(); ++i) {
        const Entry &e = entries.at(i);
        if (!e.background)
            lines << QStringLiteral("%1\t%2\t%3\t%4")
                         .arg(e.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                              e.ok ? QStringLiteral("OK") : QStringLiteral("Failed"), e.operation,
                              QString(e.error).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }
    pending = 0;
    return lines;
}

void OperationLog::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!entries.isEmpty())
        emit dataChanged(index(0, ResultColumn), index(entries.size() - 1, ResultColumn));
}

int OperationLog::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : entries.size();
}

int OperationLog::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant OperationLog::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const Entry &entry = entries.at(index.row());
    if (role == BackgroundRole)
        return entry.background;
    if (role == Qt::ForegroundRole && index.column() == ResultColumn && !entry.ok)
        return QColor(170, 0, 0);
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case TimeColumn:
        return entry.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case OperationColumn:
        return entry.operation;
    case ResultColumn:
        return entry.ok ? windowText("OK") : windowText("Failed");
    case ErrorColumn:
        return entry.error;
    }
    return QVariant();
}

QVariant OperationLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return windowText("Time");
    case OperationColumn:
        return windowText("Operation");
    case ResultColumn:
        return windowText("Result");
    case ErrorColumn:
        return windowText("Error");
    }
    return QVariant();
}

OperationLogFilter::OperationLogFilter(QObject *parent)
    : QSortFilterProxyModel(parent)
{}

OperationLogFilter::~OperationLogFilter() = default;

void OperationLogFilter::setShowBackground(bool show)
{
    if (show == showBackground)
        return;
    showBackground = show;
    invalidateFilter();
}

bool OperationLogFilter::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    return showBackground || !sourceModel()
                                  ->index(sourceRow, 0, sourceParent)
                                  .data(OperationLog::BackgroundRole)
                                  .toBool();
}
