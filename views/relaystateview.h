#pragma once

#include <QGroupBox>
#include <QSharedPointer>

#include <memory>
#include <vector>

struct t_orvo_settings;
QT_BEGIN_NAMESPACE
namespace Ui {
class RelayStateView;
}
QT_END_NAMESPACE

// The panel of one relay module: a row per relay in use with lamps for enabled, fault,
// physical and logical state, driven by the 32-bit relay status word.
class RelayStateView : public QGroupBox
{
    Q_OBJECT

public:
    RelayStateView(QWidget *parent, QString title);
    ~RelayStateView() override;

public slots:
    bool setSettings(QSharedPointer<t_orvo_settings> settings);
    void updateRelayState(uint relay_status);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct LampCell;
    struct RelayRow;

    void fitColumns();
    void appendRow(uint index);

    QString title;
    std::unique_ptr<Ui::RelayStateView> ui;
    std::vector<std::unique_ptr<RelayRow>> rows;
};
