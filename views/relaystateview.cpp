#include "relaystateview.h"

#include "meascondledindicator.h"
#include "relayname.h"
#include "relayword.h"
#include "t_orvo_settings.h"
#include "tableheight.h"
#include "ui_relaystateview.h"

#include <QEvent>
#include <QHeaderView>
#include <QStyle>

namespace {
enum Column { NumberColumn, EnabledColumn, FaultColumn, PhysStateColumn, LogicStateColumn };

int lampFor(uint relay_status, RelayWord::Kind kind, int relay, Lamp::State lit)
{
    return RelayWord::isSet(relay_status, kind, relay) ? lit : Lamp::Off;
}
} // namespace

// The lamps belong to the table from the moment they are placed.
struct RelayStateView::RelayRow
{
    uint index = 0;
    MeasCondLedIndicator *enLed = nullptr;
    MeasCondLedIndicator *faultLed = nullptr;
    MeasCondLedIndicator *physStateLed = nullptr;
    MeasCondLedIndicator *logicStateLed = nullptr;
};

RelayStateView::RelayStateView(QWidget *parent, QString title)
    : QGroupBox(parent)
    , title(std::move(title))
    , ui(std::make_unique<Ui::RelayStateView>())
{
    ui->setupUi(this);
    fitColumns();
    setTitle(this->title);
}

RelayStateView::~RelayStateView() = default;

bool RelayStateView::setSettings(QSharedPointer<t_orvo_settings> settings)
{
    ui->eventsTable->setRowCount(0);
    rows.clear();
    // Hidden while rows come and go, so that it is redrawn once.
    ui->eventsTable->hide();
    if (settings) {
        for (uint n = 0; n < uint(OrvoSettings::RelayCount); ++n) {
            if (relayInUse(settings->relays[n]))
                appendRow(n);
        }
    }
    ui->eventsTable->show();
    // In a stack of panels an unfitted table shrinks to a row or two behind a scroll bar.
    fitPanelToTable(this, ui->verticalLayout, ui->eventsTable, 45);
    return !rows.empty();
}

void RelayStateView::updateRelayState(uint relay_status)
{
    for (const auto &row : rows) {
        const int n = int(row->index);
        row->enLed->setState(lampFor(relay_status, RelayWord::Enabled, n, Lamp::Green));
        row->faultLed->setState(lampFor(relay_status, RelayWord::Fault, n, Lamp::Red));
        row->physStateLed->setState(lampFor(relay_status, RelayWord::PhysState, n, Lamp::Green));
        row->logicStateLed->setState(lampFor(relay_status, RelayWord::LogicState, n, Lamp::Green));
    }
}

void RelayStateView::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fitColumns();
        setTitle(title);
    }
}

void RelayStateView::fitColumns()
{
    // 40 pixels hold a lamp; a caption that is wider widens its column instead of being cut.
    QTableWidget *table = ui->eventsTable;
    const int margin = table->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, table);
    const int defaultWidth = table->horizontalHeader()->defaultSectionSize();
    for (int column = 0; column < table->columnCount() - 1; ++column) {
        const QString caption = table->horizontalHeaderItem(column)->text();
        table->setColumnWidth(
            column,
            qMax(defaultWidth, table->horizontalHeader()->fontMetrics().horizontalAdvance(caption) +
                                   2 * margin + 2));
    }
}

void RelayStateView::appendRow(uint index)
{
    auto row = std::make_unique<RelayRow>();
    row->index = index;

    QTableWidget *table = ui->eventsTable;
    const int r = table->rowCount();
    table->setRowCount(r + 1);
    table->setItem(r, NumberColumn, new QTableWidgetItem(QString::number(index + 1)));
    row->enLed = new MeasCondLedIndicator;
    table->setCellWidget(r, EnabledColumn, row->enLed);
    row->faultLed = new MeasCondLedIndicator;
    table->setCellWidget(r, FaultColumn, row->faultLed);
    row->physStateLed = new MeasCondLedIndicator;
    table->setCellWidget(r, PhysStateColumn, row->physStateLed);
    row->logicStateLed = new MeasCondLedIndicator;
    table->setCellWidget(r, LogicStateColumn, row->logicStateLed);

    rows.push_back(std::move(row));
}
