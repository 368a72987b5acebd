#pragma once

#include <QWidget>

class LedIndicator;

// The three-state condition lamp of the status tables: 0 green (false), 1 red (true),
// anything else off (undetermined). Right-button presses, on the lamp too, are offered as
// customContextMenuRequested in this widget's coordinates.
class MeasCondLedIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit MeasCondLedIndicator(QWidget *parent = nullptr);
    ~MeasCondLedIndicator() override;

    void setState(int state);
    void setCondition(int cond);
    void reset();

    int state() const { return ledState; }
    LedIndicator *lamp() const { return led; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    void light(int state); // 0 green or 1 red

    LedIndicator *led = nullptr;
    int ledState = 2;
};
