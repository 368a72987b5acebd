#pragma once

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
    enum LampState { Green = 0, Red = 1, Off = 2 };

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
    void light(int state); // Green or Red

    LedIndicator *led = nullptr;
    int ledState = Off;
};
