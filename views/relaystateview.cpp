#include "relaystateview.h"

#include "lampdelegate.h"
#include "lampstate.h"
#include "relayname.h"
#include "relayword.h"
#include "t_orvo_settings.h"
#include "tableheight.h"
#include "tableitembatch.h"
#include "ui_relaystateview.h"

#include <QEvent>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>

namespace {
enum Column { NumberColumn, EnabledColumn, FaultColumn, PhysStateColumn, LogicStateColumn };

int lampFor(uint relay_status, RelayWord::Kind kind, int relay, Lamp::State lit)
{
    return RelayWord::isSet(relay_status, kind, relay) ? lit : Lamp::Off;
}
} // namespace

// A lamp cell and what it shows.
struct RelayStateView::LampCell
{
    QTableWidgetItem *item = nullptr; // the table's from the moment it is placed
    int state = Lamp::Off;
};

struct RelayStateView::RelayRow
{
    uint index = 0;
    LampCell enLed;
    LampCell faultLed;
    LampCell physStateLed;
    LampCell logicStateLed;
};

RelayStateView::RelayStateView(QWidget *parent, QString title)
    : QGroupBox(parent)
    , title(std::move(title))
    , ui(std::make_unique<Ui::RelayStateView>())
{
    ui->setupUi(this);
    new LampDelegate(ui->eventsTable);
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
    TableItemBatch batch(ui->eventsTable);
    const auto show = [&batch](LampCell &lamp, int state) {
        if (lamp.state == state)
            return;
        lamp.state = state;
        batch.setData(lamp.item, LampDelegate::StateRole, state);
    };
    for (const auto &row : rows) {
        const int n = int(row->index);
        show(row->enLed, lampFor(relay_status, RelayWord::Enabled, n, Lamp::Green));
        show(row->faultLed, lampFor(relay_status, RelayWord::Fault, n, Lamp::Red));
        show(row->physStateLed, lampFor(relay_status, RelayWord::PhysState, n, Lamp::Green));
        show(row->logicStateLed, lampFor(relay_status, RelayWord::LogicState, n, Lamp::Green));
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
    // The table is hidden while rows are added, and drawn whole when shown again.
    const QSignalBlocker quiet(table->model());
    table->setItem(r, NumberColumn, new QTableWidgetItem(QString::number(index + 1)));
    const auto place = [table, r](LampCell &lamp, int column) {
        lamp.item = LampDelegate::newLampItem();
        table->setItem(r, column, lamp.item);
    };
    place(row->enLed, EnabledColumn);
    place(row->faultLed, FaultColumn);
    place(row->physStateLed, PhysStateColumn);
    place(row->logicStateLed, LogicStateColumn);

    rows.push_back(std::move(row));
}
