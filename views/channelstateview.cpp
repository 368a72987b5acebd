#include "channelstateview.h"

#include "chmeas.h"
#include "chstate.h"
#include "meascatalogue.h"
#include "meascondledindicator.h"
#include "t_orvo_settings.h"
#include "tableheight.h"
#include "ui_channelstateview.h"

#include <QEvent>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <QTime>
#include <QTimer>

#include <algorithm>

namespace {
// The fixed widths suit a 9-point desktop font; with a larger font a column grows rather than
// eliding the readings shown in it.
int widthFor(const QTableWidget *table, int width, const QString &widest)
{
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table);
    return qMax(width, table->fontMetrics().horizontalAdvance(widest) + 2 * (margin + 1) + 2);
}
} // namespace

struct ChannelStateView::MeasRow
{
    uint type = 0;
    int num = 0;
    double value = 0.0;
    bool valid = false;
    // Placed in the table as soon as they are made; the table owns them.
    QTableWidgetItem *numberItem = nullptr;
    QTableWidgetItem *valueItem = nullptr;
    QTableWidgetItem *fsItem = nullptr;
    QTableWidgetItem *baseItem = nullptr;
    QTableWidgetItem *deltaItem = nullptr;
    MeasCondLedIndicator *alertLed = nullptr;
    MeasCondLedIndicator *dangerLed = nullptr;
};

struct ChannelStateView::ChannelEntry
{
    // Held here until placed: a channel without rows never hands them to the table.
    std::unique_ptr<MeasCondLedIndicator> ownFailureLed = std::make_unique<MeasCondLedIndicator>();
    std::unique_ptr<QTableWidgetItem> ownTimeItem = std::make_unique<QTableWidgetItem>();

    std::vector<std::unique_ptr<MeasRow>> rows;
    quint32 status = ChState::NoValidData;
    MeasCondLedIndicator *failureLed = nullptr;
    QTableWidgetItem *timeItem = nullptr;
    QTimer timer;
    bool configured = false; // the channel's mask bit was set

    ChannelEntry()
        : failureLed(ownFailureLed.get())
        , timeItem(ownTimeItem.get())
    {}
};

ChannelStateView::ChannelStateView(QWidget *parent, QString title)
    : QGroupBox(parent)
    , title(std::move(title))
    , ui(std::make_unique<Ui::ChannelStateView>())
{
    ui->setupUi(this);
    QTableWidget *table = ui->measTable;
    Q_ASSERT(table->columnCount() == MeasCatalogue::ColumnCount);
    const QString percent = QLocale().toString(100.0, 'f', 2);
    table->setColumnWidth(MeasCatalogue::TimeColumn,
                          widthFor(table, 70, QStringLiteral("00:00:00")));
    table->setColumnWidth(MeasCatalogue::FsColumn, widthFor(table, 47, percent));
    table->setColumnWidth(MeasCatalogue::BaseColumn, widthFor(table, 47, percent));
    table->setColumnWidth(MeasCatalogue::DeltaColumn, widthFor(table, 47, percent));
    table->setColumnWidth(MeasCatalogue::NumberColumn, widthFor(table, 30, QStringLiteral("4/8")));
    retranslate();
}

ChannelStateView::~ChannelStateView() = default;

QTimer *ChannelStateView::channelTimer(int ch) const
{
    if (ch < 0 || ch >= int(channelEntries.size()))
        return nullptr;
    return &channelEntries[ch]->timer;
}

bool ChannelStateView::setSettings(QSharedPointer<t_orvo_settings> settings)
{
    clearEntries();
    QTableWidget *table = ui->measTable;
    // Hidden while rows come and go, so that it is laid out once.
    table->hide();

    bool shown = false;
    if (settings) {
        fullScale = settings->full_scale;
        const uint mask = settings->channel_mask & 0xFu;
        const int enabledCount = qPopulationCount(mask);
        shown = mask != 0;

        for (int c = 0; c < OrvoSettings::ChannelCount; ++c) {
            channelEntries.push_back(std::make_unique<ChannelEntry>());
            ChannelEntry &entry = *channelEntries.back();
            if (!(mask & (1u << c)))
                continue;
            entry.configured = true;

            const int first = lastTableRow(c) + 1;
            int count = 0;
            for (int m = 0; m < OrvoSettings::MeasSlotCount; ++m) {
                const uint type = settings->channels[c].meas[m].type;
                if (type == 0)
                    continue;
                addMeasRow(entry, c, m, type);
                ++count;
            }
            if (count >= 1) {
                table->setCellWidget(first, MeasCatalogue::FailureColumn,
                                     entry.ownFailureLed.release());
                table->setItem(first, MeasCatalogue::TimeColumn, entry.ownTimeItem.release());
                if (count >= 2) {
                    table->setSpan(first, MeasCatalogue::FailureColumn, count, 1);
                    table->setSpan(first, MeasCatalogue::TimeColumn, count, 1);
                }
            }
            refreshChannel(entry);

            entry.timer.setSingleShot(true);
            entry.timer.setInterval(enabledCount * 11000 + 5000);
            connect(&entry.timer, &QTimer::timeout, this, &ChannelStateView::chStatusTimeout);
            entry.timer.start();
        }
    }

    fitHeight();
    table->show();
    return shown;
}

void ChannelStateView::setChState(QSharedPointer<ChState> state)
{
    // States for channels this view has no entry for cannot be shown anywhere.
    if (!state || state->ch < 0 || state->ch >= int(channelEntries.size()))
        return;
    ChannelEntry &entry = *channelEntries[state->ch];
    if (entry.configured)
        entry.timer.start();
    entry.status = quint32(state->status);
    entry.timeItem->setText(QTime::currentTime().toString(QStringLiteral("H:mm:ss")));

    for (const auto &row : entry.rows) {
        const auto found =
            std::find_if(state->meas.cbegin(), state->meas.cend(),
                         [&row](const std::unique_ptr<ChMeas> &m) { return m->num == row->num; });
        if (found != state->meas.cend())
            updateRow(*row, **found);
        else
            clearRow(*row);
    }
    refreshChannel(entry);
}

void ChannelStateView::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void ChannelStateView::chStatusTimeout()
{
    auto *timer = qobject_cast<QTimer *>(sender());
    if (!timer)
        return;
    for (const auto &entry : channelEntries) {
        if (&entry->timer != timer)
            continue;
        // The time cell keeps showing when the last state came.
        entry->status = ChState::NoValidData;
        for (const auto &row : entry->rows)
            clearRow(*row);
        refreshChannel(*entry);
    }
}

void ChannelStateView::connectionLost()
{
    for (const auto &entry : channelEntries)
        entry->timer.stop();
}

void ChannelStateView::retranslate()
{
    ui->retranslateUi(this);
    for (int column = 0; column < MeasCatalogue::ColumnCount; ++column)
        ui->measTable->horizontalHeaderItem(column)->setToolTip(
            MeasCatalogue::columnToolTip(column));
    for (const auto &entry : channelEntries)
        refreshChannel(*entry);
    setTitle(title);
}

void ChannelStateView::clearEntries()
{
    // The table drops the items and lamps of its rows; entries then drop what they kept.
    ui->measTable->setRowCount(0);
    channelEntries.clear();
}

void ChannelStateView::addMeasRow(ChannelEntry &entry, int ch, int num, uint type)
{
    auto row = std::make_unique<MeasRow>();
    row->type = type;
    row->num = num;

    QTableWidget *table = ui->measTable;
    const int index = lastTableRow(ch) + 1;
    table->insertRow(index);

    row->numberItem = new QTableWidgetItem(QStringLiteral("%1/%2").arg(ch + 1).arg(num + 1));
    table->setItem(index, MeasCatalogue::NumberColumn, row->numberItem);
    row->valueItem = new QTableWidgetItem;
    table->setItem(index, MeasCatalogue::ValueColumn, row->valueItem);
    row->fsItem = new QTableWidgetItem;
    table->setItem(index, MeasCatalogue::FsColumn, row->fsItem);
    row->baseItem = new QTableWidgetItem;
    table->setItem(index, MeasCatalogue::BaseColumn, row->baseItem);
    row->deltaItem = new QTableWidgetItem;
    table->setItem(index, MeasCatalogue::DeltaColumn, row->deltaItem);
    row->alertLed = new MeasCondLedIndicator;
    table->setCellWidget(index, MeasCatalogue::AlertColumn, row->alertLed);
    row->dangerLed = new MeasCondLedIndicator;
    table->setCellWidget(index, MeasCatalogue::DangerColumn, row->dangerLed);

    entry.rows.push_back(std::move(row));
}

int ChannelStateView::lastTableRow(int ch) const
{
    if (ch < 0 || ch >= int(channelEntries.size()))
        return -1;
    const ChannelEntry &entry = *channelEntries[ch];
    if (!entry.rows.empty())
        return ui->measTable->row(entry.rows.back()->valueItem);
    return ch == 0 ? -1 : lastTableRow(ch - 1);
}

void ChannelStateView::updateRow(MeasRow &row, const ChMeas &meas)
{
    row.valid = true;
    row.value = meas.value;
    row.alertLed->setCondition(meas.alert);
    row.dangerLed->setCondition(meas.danger);
    row.fsItem->setText(MeasCatalogue::percentText(meas.fs_value, fullScale));
    if (meas.baseline_valid) {
        row.baseItem->setText(MeasCatalogue::percentText(meas.baseline, fullScale));
        // A failed measurement has no meaningful deviation from its baseline.
        row.deltaItem->setText(
            meas.failure == 1 ? QString()
                              : MeasCatalogue::deltaText(meas.fs_value, meas.baseline, fullScale));
    } else {
        row.baseItem->setText(QString());
        row.deltaItem->setText(QString());
    }
}

void ChannelStateView::clearRow(MeasRow &row)
{
    row.valid = false;
    row.valueItem->setText(QString());
    row.fsItem->setText(QString());
    row.baseItem->setText(QString());
    row.deltaItem->setText(QString());
    row.alertLed->reset();
    row.dangerLed->reset();
}

void ChannelStateView::refreshChannel(ChannelEntry &entry)
{
    if (const auto lamp = MeasCatalogue::statusLampState(entry.status)) {
        entry.failureLed->setToolTip(MeasCatalogue::statusCaption(entry.status));
        entry.failureLed->setState(*lamp);
    } else {
        entry.failureLed->setToolTip(QString());
    }

    for (const auto &row : entry.rows) {
        row->valueItem->setText(row->valid ? MeasCatalogue::valueText(row->value, row->type)
                                           : QString());
        const QString name = MeasCatalogue::typeName(row->type);
        for (QTableWidgetItem *item :
             {row->numberItem, row->valueItem, row->fsItem, row->baseItem, row->deltaItem})
            item->setToolTip(name);
    }
}

void ChannelStateView::fitHeight()
{
    // 45 = the 10 pixels the table may grow past its rows plus 35 for the title and margins of
    // a compact style.
    fitPanelToTable(this, ui->verticalLayout, ui->measTable, 45);
}
