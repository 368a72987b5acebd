#pragma once

#include <QTableWidgetItem>

// A table item whose text can change without the item telling its table, for a writer that
// changes many texts at once and then tells the view itself (TableItemBatch): the notice an
// item gives costs more than the text it carries. Changed in any other way, the item tells its
// table as any item does. Its text roles hold text only.
class QuietTextItem : public QTableWidgetItem
{
public:
    QuietTextItem();
    ~QuietTextItem() override;

    QVariant data(int role) const override;
    void setData(int role, const QVariant &value) override;
    QTableWidgetItem *clone() const override;

    // The caller tells the view.
    void setTextQuietly(const QString &text) { shown = text; }

private:
    QString shown;
};
