#pragma once

#include "lampstate.h"

#include <QWidget>

class LedIndicator;

// The three-state condition lamp of the status tables: green (false), red (true), anything
// else off (undetermined). Right-button presses, on the lamp too, are offered as
// customContextMenuRequested in this widget's coordinates.
class MeasCondLedIndicator : public QWidget
{
    Q_OBJECT

public:
    // setState() takes any int and state() gives it back; only these two light the lamp.
    using LampState = Lamp::State;
    static constexpr LampState Green = Lamp::Green;
    static constexpr LampState Red = Lamp::Red;
    static constexpr LampState Off = Lamp::Off;

    explicit MeasCondLedIndicator(QWidget *parent = nullptr);
    ~MeasCondLedIndicator() override;

    void setState(int state);
    void setCondition(int cond);
    void reset();

    int state() const { return ledState; }
    // The lamp's on-colours, at its focal point and at its rim, in state Green or Red.
    static QColor onColor1For(int state);
    static QColor onColor2For(int state);
    LedIndicator *lamp() const { return led; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    void light(int state); // Green or Red

    LedIndicator *led = nullptr;
    int ledState = Off;
};
