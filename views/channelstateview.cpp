#include "channelstateview.h"

#include "chmeas.h"
#include "chstate.h"
#include "lampdelegate.h"
#include "meascatalogue.h"
#include "quiettextitem.h"
#include "t_orvo_settings.h"
#include "tableheight.h"
#include "tableitembatch.h"
#include "ui_channelstateview.h"

#include <QDateTime>
#include <QEvent>
#include <QHeaderView>
#include <QLocale>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <optional>

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
    // The row's cells show the reading below; while false they are empty.
    bool valid = false;
    QString unit; // of the type, in the current language
    quint16 fsValue = 0;
    bool baselineValid = false;
    quint16 baseline = 0;
    bool failed = false;
    int alertState = Lamp::Off;
    int dangerState = Lamp::Off;
    // Placed in the table as soon as they are made; the table owns them.
    QTableWidgetItem *numberItem = nullptr;
    QuietTextItem *valueItem = nullptr;
    QuietTextItem *fsItem = nullptr;
    QuietTextItem *baseItem = nullptr;
    QuietTextItem *deltaItem = nullptr;
    QTableWidgetItem *alertItem = nullptr; // lamps
    QTableWidgetItem *dangerItem = nullptr;
};

struct ChannelStateView::ChannelEntry
{
    // Held here until placed: a channel without rows never hands them to the table.
    std::unique_ptr<QTableWidgetItem> ownFailureItem{LampDelegate::newLampItem()};
    std::unique_ptr<QuietTextItem> ownTimeItem = std::make_unique<QuietTextItem>();

    std::vector<std::unique_ptr<MeasRow>> rows;
    quint32 status = ChState::NoValidData;
    QTableWidgetItem *failureItem = nullptr; // a lamp
    int failureState = Lamp::Off;
    QuietTextItem *timeItem = nullptr;
    QTimer timer;
    bool configured = false; // the channel's mask bit was set
    // What the failure lamp and the time cell show, so that a repeated state leaves them be.
    std::optional<quint32> shownStatus;
    qint64 shownSecond = -1; // since the epoch

    ChannelEntry()
        : failureItem(ownFailureItem.get())
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
    new LampDelegate(table);
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
    // Hidden while rows come and go, so that it is laid out once. Being hidden, it is drawn
    // whole when shown again, so what is written into its cells meanwhile is written with the
    // model quiet: a notice per item would be a tenth of a rebuild's cost. Rows still come
    // and go with notice, which the view needs.
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
                const QSignalBlocker quiet(table->model());
                table->setItem(first, MeasCatalogue::FailureColumn, entry.ownFailureItem.release());
                table->setItem(first, MeasCatalogue::TimeColumn, entry.ownTimeItem.release());
                if (count >= 2) {
                    table->setSpan(first, MeasCatalogue::FailureColumn, count, 1);
                    table->setSpan(first, MeasCatalogue::TimeColumn, count, 1);
                }
            }
            {
                const QSignalBlocker quiet(table->model());
                refreshChannel(entry);
            }

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
    TableItemBatch written(ui->measTable);
    const QScopedValueRollback<TableItemBatch *> writing(batch, &written);
    // Local time costs a look at the time zone; the text only changes with the second.
    const qint64 second = QDateTime::currentMSecsSinceEpoch() / 1000;
    if (second != entry.shownSecond) {
        entry.shownSecond = second;
        writeText(entry.timeItem, MeasCatalogue::TimeColumn,
                  QTime::currentTime().toString(QStringLiteral("H:mm:ss")));
        entry.timeItem->setToolTip(QString());
    }

    for (const auto &row : entry.rows) {
        const auto found =
            std::find_if(state->meas.cbegin(), state->meas.cend(),
                         [&row](const std::unique_ptr<ChMeas> &m) { return m->num == row->num; });
        if (found != state->meas.cend())
            updateRow(*row, **found);
        else
            clearRow(*row);
    }
    showStatus(entry);
}

void ChannelStateView::setChannelUnread(int ch)
{
    if (ch < 0 || ch >= int(channelEntries.size()))
        return;
    ChannelEntry &entry = *channelEntries[ch];
    entry.shownSecond = -1; // the next state writes its time again
    entry.timeItem->setText(tr("no state"));
    entry.timeItem->setToolTip(
        tr("No state of this channel arrived: its registers could not be read or it has no "
           "valid data"));
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
        TableItemBatch written(ui->measTable);
        const QScopedValueRollback<TableItemBatch *> writing(batch, &written);
        for (const auto &row : entry->rows)
            clearRow(*row);
        showStatus(*entry);
    }
}

void ChannelStateView::connectionLost()
{
    // The lamps say nothing of a module that is away; the last readings stay, greyed by the
    // holder, and the next state lights the lamps again.
    for (const auto &entry : channelEntries) {
        entry->timer.stop();
        writeLamp(entry->failureItem, entry->failureState, Lamp::Off);
        entry->failureItem->setToolTip(QString());
        entry->shownStatus.reset();
        for (const auto &row : entry->rows) {
            writeLamp(row->alertItem, row->alertState, Lamp::Off);
            writeLamp(row->dangerItem, row->dangerState, Lamp::Off);
        }
    }
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
    const QSignalBlocker quiet(table->model());

    row->numberItem = new QTableWidgetItem(QStringLiteral("%1/%2").arg(ch + 1).arg(num + 1));
    table->setItem(index, MeasCatalogue::NumberColumn, row->numberItem);
    row->valueItem = new QuietTextItem;
    table->setItem(index, MeasCatalogue::ValueColumn, row->valueItem);
    row->fsItem = new QuietTextItem;
    table->setItem(index, MeasCatalogue::FsColumn, row->fsItem);
    row->baseItem = new QuietTextItem;
    table->setItem(index, MeasCatalogue::BaseColumn, row->baseItem);
    row->deltaItem = new QuietTextItem;
    table->setItem(index, MeasCatalogue::DeltaColumn, row->deltaItem);
    row->alertItem = LampDelegate::newLampItem();
    table->setItem(index, MeasCatalogue::AlertColumn, row->alertItem);
    row->dangerItem = LampDelegate::newLampItem();
    table->setItem(index, MeasCatalogue::DangerColumn, row->dangerItem);

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
    if (const auto alert = Lamp::fromCondition(meas.alert))
        writeLamp(row.alertItem, row.alertState, *alert);
    if (const auto danger = Lamp::fromCondition(meas.danger))
        writeLamp(row.dangerItem, row.dangerState, *danger);
    // Only the cells whose reading moved are written: each text costs a format and a repaint.
    const bool wasValid = row.valid;
    const bool failed = meas.failure == 1;
    row.valid = true;
    if (!wasValid || row.value != meas.value) {
        row.value = meas.value;
        showValue(row);
    }
    if (!wasValid || row.fsValue != meas.fs_value)
        writeText(row.fsItem, MeasCatalogue::FsColumn,
                  MeasCatalogue::percentText(meas.fs_value, fullScale));
    if (!wasValid || row.baselineValid != meas.baseline_valid || row.baseline != meas.baseline) {
        writeText(row.baseItem, MeasCatalogue::BaseColumn,
                  meas.baseline_valid ? MeasCatalogue::percentText(meas.baseline, fullScale)
                                      : QString());
    }
    if (!wasValid || row.baselineValid != meas.baseline_valid || row.baseline != meas.baseline ||
        row.fsValue != meas.fs_value || row.failed != failed) {
        // A failed measurement has no meaningful deviation from its baseline.
        writeText(row.deltaItem, MeasCatalogue::DeltaColumn,
                  meas.baseline_valid && !failed
                      ? MeasCatalogue::deltaText(meas.fs_value, meas.baseline, fullScale)
                      : QString());
    }
    row.fsValue = meas.fs_value;
    row.baselineValid = meas.baseline_valid;
    row.baseline = meas.baseline;
    row.failed = failed;
}

void ChannelStateView::clearRow(MeasRow &row)
{
    writeLamp(row.alertItem, row.alertState, Lamp::Off);
    writeLamp(row.dangerItem, row.dangerState, Lamp::Off);
    if (!row.valid)
        return;
    row.valid = false;
    showValue(row);
    writeText(row.fsItem, MeasCatalogue::FsColumn, QString());
    writeText(row.baseItem, MeasCatalogue::BaseColumn, QString());
    writeText(row.deltaItem, MeasCatalogue::DeltaColumn, QString());
}

void ChannelStateView::showValue(MeasRow &row)
{
    writeText(row.valueItem, MeasCatalogue::ValueColumn,
              row.valid ? MeasCatalogue::valueText(row.value, row.unit) : QString());
}

void ChannelStateView::writeText(QuietTextItem *item, int column, const QString &text)
{
    if (batch)
        batch->setText(item, column, text);
    else
        item->setText(text);
}

void ChannelStateView::writeLamp(QTableWidgetItem *item, int &shown, int state)
{
    if (shown == state)
        return;
    shown = state;
    if (batch)
        batch->setData(item, LampDelegate::StateRole, state);
    else
        item->setData(LampDelegate::StateRole, state);
}

void ChannelStateView::writeToolTip(QTableWidgetItem *item, const QString &text)
{
    if (batch)
        batch->setData(item, Qt::ToolTipRole, text);
    else
        item->setToolTip(text);
}

void ChannelStateView::showStatus(ChannelEntry &entry)
{
    if (entry.shownStatus == entry.status)
        return;
    entry.shownStatus = entry.status;
    if (const auto lamp = MeasCatalogue::statusLampState(entry.status)) {
        writeToolTip(entry.failureItem, MeasCatalogue::statusCaption(entry.status));
        writeLamp(entry.failureItem, entry.failureState, *lamp);
    } else {
        writeToolTip(entry.failureItem, QString());
    }
}

void ChannelStateView::refreshChannel(ChannelEntry &entry)
{
    // Everything that depends on the language, too.
    entry.shownStatus.reset();
    showStatus(entry);
    for (const auto &row : entry.rows) {
        row->unit = MeasCatalogue::typeUnit(row->type);
        showValue(*row);
        const QString name = MeasCatalogue::typeName(row->type);
        const std::initializer_list<QTableWidgetItem *> items = {
            row->numberItem, row->valueItem, row->fsItem, row->baseItem, row->deltaItem};
        for (QTableWidgetItem *item : items)
            item->setToolTip(name);
    }
}

void ChannelStateView::fitHeight()
{
    // 45 = the 10 pixels the table may grow past its rows plus 35 for the title and margins of
    // a compact style.
    fitPanelToTable(this, ui->verticalLayout, ui->measTable, 45);
}
