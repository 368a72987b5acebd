#pragma once

#include <QGroupBox>
#include <QSharedPointer>

#include <memory>
#include <vector>

class ChState;
struct ChMeas;
struct t_orvo_settings;
class QuietTextItem;
class TableItemBatch;
QT_BEGIN_NAMESPACE
class QTableWidgetItem;
class QTimer;
namespace Ui {
class ChannelStateView;
}
QT_END_NAMESPACE

// The panel of one measurement module: a block of table rows per enabled channel, one row
// per configured measurement, filled from channel states. A channel whose states stop
// coming is shown as stale after enabled channels x 11 s + 5 s.
class ChannelStateView : public QGroupBox
{
    Q_OBJECT

public:
    ChannelStateView(QWidget *parent, QString title);
    ~ChannelStateView() override;

    // For tests: the staleness timer of channel index ch, nullptr when the channel has no
    // entry (before setSettings or out of range). Lets a test read the interval and fire
    // the timeout without waiting for it.
    QTimer *channelTimer(int ch) const;

public slots:
    bool setSettings(QSharedPointer<t_orvo_settings> settings);
    void setChState(QSharedPointer<ChState> state);
    // No state of channel index ch has come although it is configured: its time cell says so
    // until the next state.
    void setChannelUnread(int ch);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void chStatusTimeout();
    void connectionLost();

private:
    struct MeasRow;
    struct ChannelEntry;

    void retranslate();
    void clearEntries();
    void addMeasRow(ChannelEntry &entry, int ch, int num, uint type);
    int lastTableRow(int ch) const;
    void updateRow(MeasRow &row, const ChMeas &meas);
    void clearRow(MeasRow &row);
    void showValue(MeasRow &row);
    // Through the batch of the state being shown, when there is one.
    void writeText(QuietTextItem *item, int column, const QString &text);
    // shown is what the lamp shows now; unchanged lamps are left alone.
    void writeLamp(QTableWidgetItem *item, int &shown, int state);
    void writeToolTip(QTableWidgetItem *item, const QString &text);
    void showStatus(ChannelEntry &entry);
    void refreshChannel(ChannelEntry &entry);
    void fitHeight();

    QString title;
    std::vector<std::unique_ptr<ChannelEntry>> channelEntries;
    std::unique_ptr<Ui::ChannelStateView> ui;
    quint16 fullScale = 0xFFFF;
    TableItemBatch *batch = nullptr;
};
