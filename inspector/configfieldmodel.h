#pragma once

#include "t_orvo_settings.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include <optional>

// The fields of a configuration record that the inspector understands, one row each, with its
// value and what it means: node id, full scale, channel mask, each channel's spectrum switch
// and measurement types (named and with their units from the catalogue), each relay's name and
// mode. Compared with a second record (a saved file), only the rows that differ are shown,
// with the other record's value beside.
class ConfigFieldModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { FieldColumn, ValueColumn, MeaningColumn, OtherValueColumn, ColumnCount };

    struct Field
    {
        QString key; // "channels[1].meas[0].type": the record's own names, stable across languages
        QString value;
        QString meaning;
    };

    explicit ConfigFieldModel(QObject *parent = nullptr);
    ~ConfigFieldModel() override;

    static QVector<Field> fields(const t_orvo_settings &record);

    void setRecord(const t_orvo_settings &record);
    // Rows whose value differs from other's (a field only one of them has counts as differing);
    // std::nullopt shows every field again.
    void compareWith(const std::optional<t_orvo_settings> &other);
    bool isComparing() const { return comparing; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row
    {
        Field field;
        QString otherValue;
    };
    void rebuild();

    std::optional<t_orvo_settings> record;
    std::optional<t_orvo_settings> other;
    bool comparing = false;
    QVector<Row> rows;
};
