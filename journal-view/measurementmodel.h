#pragma once

#include "journalviewtypes.h"

#include <QAbstractItemModel>
#include <QVector>

// The measurements the journal holds trends of, as a tree of installation, node, channel and
// measurement with the catalogue's names and units; the measurements are checked to be shown.
class MeasurementModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role {
        KeyRole = Qt::UserRole + 1, // TrendKey, on measurements only
    };

    explicit MeasurementModel(QObject *parent = nullptr);

    QModelIndex index(int row, int column,
                      const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Rebuilds the tree; what was chosen stays chosen.
    void setSeries(const QVector<TrendSeries> &series);
    const QVector<TrendSeries> &series() const { return all; }
    // Every chosen measurement, in the order chosen, those the journal does not hold included
    // (chosen in an earlier run, or before the tree was read).
    QVector<TrendKey> chosen() const { return picked; }
    void setChosen(const QVector<TrendKey> &keys);
    // The chosen measurements the journal holds, in the order chosen.
    QVector<TrendSeries> shown() const;
    QModelIndex indexOf(const TrendKey &key) const;
    // "Node 3, channel 2, 1: Velocity, mm/s", for a legend.
    static QString title(const TrendSeries &series);
    // Where a language switch changes the names.
    void retranslate();

signals:
    void chosenChanged();

private:
    struct Item
    {
        int parent = -1; // -1: top level
        QVector<int> children;
        int level = 0;   // 0 installation, 1 node, 2 channel, 3 measurement
        int series = -1; // index into all, measurements only
        QString installation;
        int number = 0; // node, channel or slot
    };
    int itemOf(const QModelIndex &index) const;
    int rowOf(int item) const;

    QVector<TrendSeries> all;
    QVector<Item> items;
    QVector<int> top;
    QVector<TrendKey> picked;
};
