#include "measurementmodel.h"

#include "meascatalogue.h"

MeasurementModel::MeasurementModel(QObject *parent)
    : QAbstractItemModel(parent)
{}

int MeasurementModel::itemOf(const QModelIndex &index) const
{
    return index.isValid() ? int(index.internalId()) : -1;
}

int MeasurementModel::rowOf(int item) const
{
    const int parent = items[item].parent;
    return (parent < 0 ? top : items[parent].children).indexOf(item);
}

QModelIndex MeasurementModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return QModelIndex();
    const int p = itemOf(parent);
    const QVector<int> &list = p < 0 ? top : items[p].children;
    return row < list.size() ? createIndex(row, 0, quintptr(list[row])) : QModelIndex();
}

QModelIndex MeasurementModel::parent(const QModelIndex &child) const
{
    const int item = itemOf(child);
    if (item < 0 || items[item].parent < 0)
        return QModelIndex();
    const int p = items[item].parent;
    return createIndex(rowOf(p), 0, quintptr(p));
}

int MeasurementModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const int p = itemOf(parent);
    return p < 0 ? top.size() : items[p].children.size();
}

int MeasurementModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QString MeasurementModel::title(const TrendSeries &s)
{
    const QString name = MeasCatalogue::typeName(s.measType);
    const QString unit = MeasCatalogue::typeUnit(s.measType);
    QString text = tr("Node %1, channel %2, %3").arg(s.key.node).arg(s.key.channel).arg(s.key.slot);
    if (!name.isEmpty())
        text += QStringLiteral(": ") + name;
    if (!unit.isEmpty())
        text += QStringLiteral(", ") + unit;
    return text;
}

QVariant MeasurementModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const Item &item = items[itemOf(index)];
    if (item.level < 3) {
        if (role != Qt::DisplayRole)
            return QVariant();
        switch (item.level) {
        case 0:
            return item.installation.isEmpty() ? tr("(no installation)") : item.installation;
        case 1:
            return tr("Node %1").arg(item.number);
        default:
            return tr("Channel %1").arg(item.number);
        }
    }
    const TrendSeries &s = all[item.series];
    switch (role) {
    case Qt::DisplayRole: {
        const QString name = MeasCatalogue::typeName(s.measType);
        const QString unit = MeasCatalogue::typeUnit(s.measType);
        if (name.isEmpty())
            return tr("%1: type %2").arg(s.key.slot).arg(s.measType);
        return unit.isEmpty() ? tr("%1: %2").arg(s.key.slot).arg(name)
                              : tr("%1: %2, %3").arg(s.key.slot).arg(name, unit);
    }
    case Qt::ToolTipRole:
        return title(s);
    case Qt::CheckStateRole:
        return picked.contains(s.key) ? Qt::Checked : Qt::Unchecked;
    case KeyRole:
        return QVariant::fromValue(s.key);
    }
    return QVariant();
}

bool MeasurementModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() ||
        !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const Item &item = items[itemOf(index)];
    if (item.level != 3)
        return false;
    const TrendKey &key = all[item.series].key;
    const bool on = value.toInt() == Qt::Checked;
    if (on == picked.contains(key))
        return true;
    if (on)
        picked << key;
    else
        picked.removeAll(key);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit chosenChanged();
    return true;
}

Qt::ItemFlags MeasurementModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (items[itemOf(index)].level == 3)
        f |= Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
    return f;
}

void MeasurementModel::setSeries(const QVector<TrendSeries> &series)
{
    beginResetModel();
    all = series;
    std::sort(all.begin(), all.end(),
              [](const TrendSeries &a, const TrendSeries &b) { return a.key < b.key; });
    items.clear();
    top.clear();
    // Sorted, so each parent is the last one made at its level.
    int lastAt[3] = {-1, -1, -1};
    for (int i = 0; i < all.size(); ++i) {
        const TrendKey &k = all[i].key;
        const int numbers[3] = {0, k.node, k.channel};
        for (int level = 0; level < 3; ++level) {
            const int current = lastAt[level];
            const bool same = current >= 0 && items[current].installation == k.installation &&
                              items[current].number == numbers[level] &&
                              (level == 0 || items[current].parent == lastAt[level - 1]);
            if (same)
                continue;
            Item item;
            item.level = level;
            item.installation = k.installation;
            item.number = numbers[level];
            item.parent = level ? lastAt[level - 1] : -1;
            items << item;
            const int id = items.size() - 1;
            (level ? items[item.parent].children : top) << id;
            lastAt[level] = id;
            for (int deeper = level + 1; deeper < 3; ++deeper)
                lastAt[deeper] = -1;
        }
        Item leaf;
        leaf.level = 3;
        leaf.installation = k.installation;
        leaf.number = k.slot;
        leaf.series = i;
        leaf.parent = lastAt[2];
        items << leaf;
        items[leaf.parent].children << items.size() - 1;
    }
    endResetModel();
}

void MeasurementModel::setChosen(const QVector<TrendKey> &keys)
{
    QVector<TrendKey> next;
    for (const TrendKey &k : keys)
        if (k.isValid() && !next.contains(k))
            next << k;
    if (next == picked)
        return;
    const QVector<TrendKey> before = picked;
    picked = next;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].level != 3)
            continue;
        const TrendKey &k = all[items[i].series].key;
        if (before.contains(k) != picked.contains(k)) {
            const QModelIndex changed = createIndex(rowOf(i), 0, quintptr(i));
            emit dataChanged(changed, changed, {Qt::CheckStateRole});
        }
    }
    emit chosenChanged();
}

QVector<TrendSeries> MeasurementModel::shown() const
{
    QVector<TrendSeries> out;
    for (const TrendKey &k : picked) {
        for (const TrendSeries &s : all) {
            if (s.key == k) {
                out << s;
                break;
            }
        }
    }
    return out;
}

QModelIndex MeasurementModel::indexOf(const TrendKey &key) const
{
    for (int i = 0; i < items.size(); ++i)
        if (items[i].level == 3 && all[items[i].series].key == key)
            return createIndex(rowOf(i), 0, quintptr(i));
    return QModelIndex();
}

void MeasurementModel::retranslate()
{
    if (!items.isEmpty()) {
        beginResetModel();
        endResetModel();
    }
}
