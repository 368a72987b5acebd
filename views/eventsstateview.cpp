#include "eventsstateview.h"

#include "meascondledindicator.h"
#include "relayname.h"
#include "relayword.h"
#include "t_orvo_settings.h"
#include "ui_eventsstateview.h"

#include <QEvent>

namespace {
enum Column { NumberColumn, StateColumn, NameColumn };
} // namespace

struct EventsStateView::EventRow
{
    int relayIndex = 0;
    MeasCondLedIndicator *led = nullptr; // owned by the table once placed
};

EventsStateView::EventsStateView(QWidget *parent)
    : QGroupBox(parent)
    , ui(std::make_unique<Ui::EventsStateView>())
{
    ui->setupUi(this);
    // A form cannot size single columns: number and lamp stay narrow, the name takes the rest.
    ui->eventsTable->setColumnWidth(StateColumn, 50);
}

EventsStateView::~EventsStateView() = default;

void EventsStateView::setSettings(QSharedPointer<t_orvo_settings> settings)
{
    QTableWidget *table = ui->eventsTable;
    table->setRowCount(0);
    events.clear();
    table->hide();
    if (settings) {
        for (int r = 0; r < OrvoSettings::RelayCount; ++r) {
            if (relayInUse(settings->relays[r]))
                addRow(*settings, r);
        }
    }
    table->show();
}

void EventsStateView::updateRelayState(uint relay_status)
{
    for (const auto &event : events)
        event->led->setState(
            RelayWord::isSet(relay_status, RelayWord::LogicState, int(event->relayIndex))
                ? Lamp::Red
                : Lamp::Off);
}

void EventsStateView::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}

void EventsStateView::addRow(const t_orvo_settings &settings, int relayIndex)
{
    auto row = std::make_unique<EventRow>();
    row->relayIndex = relayIndex;

    QTableWidget *table = ui->eventsTable;
    const int r = table->rowCount();
    table->insertRow(r);
    table->setItem(r, NumberColumn, new QTableWidgetItem(QString::number(relayIndex + 1)));
    table->setItem(r, NameColumn, new QTableWidgetItem(relayName(settings.relays[relayIndex])));
    row->led = new MeasCondLedIndicator;
    table->setCellWidget(r, StateColumn, row->led);

    events.push_back(std::move(row));
}
