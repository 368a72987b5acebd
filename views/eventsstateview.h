#pragma once

#include <QGroupBox>
#include <QSharedPointer>

#include <memory>
#include <vector>

struct t_orvo_settings;
QT_BEGIN_NAMESPACE
namespace Ui {
class EventsStateView;
}
QT_END_NAMESPACE

// A compact relay panel: a row per relay in use with its number, one lamp for its logic
// state (red while active, off otherwise) and its name.
class EventsStateView : public QGroupBox
{
    Q_OBJECT

public:
    explicit EventsStateView(QWidget *parent = nullptr);
    ~EventsStateView() override;

public slots:
    void setSettings(QSharedPointer<t_orvo_settings> settings);
    void updateRelayState(uint relay_status);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct EventRow;

    void addRow(const t_orvo_settings &settings, int relayIndex);

    std::unique_ptr<Ui::EventsStateView> ui;
    std::vector<std::unique_ptr<EventRow>> events;
};
