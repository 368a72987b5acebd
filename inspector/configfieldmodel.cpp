#include "configfieldmodel.h"

#include "meascatalogue.h"
#include "relayname.h"

#include <QMap>
#include <QStringList>

ConfigFieldModel::ConfigFieldModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

ConfigFieldModel::~ConfigFieldModel() = default;

QVector<ConfigFieldModel::Field> ConfigFieldModel::fields(const t_orvo_settings &r)
{
    QVector<Field> out;
    out.append({QStringLiteral("node_id"), QString::number(r.node_id),
                tr("Node id of the module (1 to 32 in status datagrams)")});
    out.append({QStringLiteral("full_scale"), QString::number(r.full_scale),
                tr("Register value that stands for 100 % of full scale")});
    QStringList active;
    for (int c = 0; c < OrvoSettings::ChannelCount; ++c) {
        if (r.channel_mask & (1u << c))
            active << QString::number(c + 1);
    }
    out.append({QStringLiteral("channel_mask"),
                QStringLiteral("0x%1").arg(r.channel_mask, 4, 16, QLatin1Char('0')),
                active.isEmpty()
                    ? tr("No channel active")
                    : tr("Active channels: %1").arg(active.join(QStringLiteral(", ")))});
    for (int c = 0; c < OrvoSettings::ChannelCount; ++c) {
        const t_orvo_ch_settings &ch = r.channels[c];
        const QString prefix = QStringLiteral("channels[%1].").arg(c);
        out.append({prefix + QStringLiteral("sp_disable"), QString::number(ch.sp_disable),
                    ch.sp_disable == 0 ? tr("Channel %1 takes part in spectrum capture").arg(c + 1)
                                       : tr("Channel %1 has no spectra").arg(c + 1)});
        for (int m = 0; m < OrvoSettings::MeasSlotCount; ++m) {
            const uint type = ch.meas[m].type;
            if (type == 0)
                continue;
            const QString name = MeasCatalogue::typeName(type);
            const QString unit = MeasCatalogue::typeUnit(type);
            const QString what = name.isEmpty() ? tr("unknown type") : name;
            out.append(
                {prefix + QStringLiteral("meas[%1].type").arg(m), QString::number(type),
                 unit.isEmpty()
                     ? tr("Channel %1, slot %2: %3").arg(c + 1).arg(m + 1).arg(what)
                     : tr("Channel %1, slot %2: %3 in %4").arg(c + 1).arg(m + 1).arg(what, unit)});
        }
    }
    for (int n = 0; n < OrvoSettings::RelayCount; ++n) {
        const t_orvo_relay_settings &relay = r.relays[n];
        const QString prefix = QStringLiteral("relays[%1].").arg(n);
        out.append(
            {prefix + QStringLiteral("name"), relayName(relay), tr("Name of relay %1").arg(n + 1)});
        out.append({prefix + QStringLiteral("mode"), QString::number(relay.mode),
                    relayInUse(relay) ? tr("Relay %1 in use").arg(n + 1)
                                      : tr("Relay %1 not in use").arg(n + 1)});
    }
    return out;
}

void ConfigFieldModel::setRecord(const t_orvo_settings &r)
{
    record = r;
    rebuild();
}

void ConfigFieldModel::compareWith(const std::optional<t_orvo_settings> &r)
{
    other = r;
    rebuild();
}

void ConfigFieldModel::rebuild()
{
    beginResetModel();
    rows.clear();
    comparing = bool(other);
    const QVector<Field> mine = record ? fields(*record) : QVector<Field>();
    if (!other) {
        for (const Field &f : mine)
            rows.append({f, QString()});
    } else {
        // Matched by key: a measurement slot used in one record only is a difference too.
        QMap<QString, Field> theirs;
        for (const Field &f : fields(*other))
            theirs.insert(f.key, f);
        for (const Field &f : mine) {
            const Field there = theirs.take(f.key);
            if (there.key.isEmpty() || there.value != f.value)
                rows.append({f, there.key.isEmpty() ? tr("(none)") : there.value});
        }
        for (const Field &f : theirs)
            rows.append({{f.key, tr("(none)"), f.meaning}, f.value});
    }
    endResetModel();
}

int ConfigFieldModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int ConfigFieldModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (comparing ? ColumnCount : OtherValueColumn);
}

QVariant ConfigFieldModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != Qt::DisplayRole)
        return QVariant();
    const Row &row = rows.at(index.row());
    switch (index.column()) {
    case FieldColumn:
        return row.field.key;
    case ValueColumn:
        return row.field.value;
    case MeaningColumn:
        return row.field.meaning;
    case OtherValueColumn:
        return row.otherValue;
    default:
        return QVariant();
    }
}

QVariant ConfigFieldModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case FieldColumn:
        return tr("Field");
    case ValueColumn:
        return tr("Value");
    case MeaningColumn:
        return tr("Meaning");
    case OtherValueColumn:
        return tr("In the file");
    default:
        return QVariant();
    }
}
