#include "meascondledindicator.h"

#include "ledindicator.h"

#include <QHBoxLayout>
#include <QMouseEvent>

MeasCondLedIndicator::MeasCondLedIndicator(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignCenter);
    led = new LedIndicator(nullptr, 22);
    layout->addWidget(led);
    // A lamp shows a condition; the user must not toggle it.
    led->setEnabled(false);
    led->installEventFilter(this);
    setLayout(layout);
    ledState = Off;
    led->setChecked(false);
}

MeasCondLedIndicator::~MeasCondLedIndicator() = default;

void MeasCondLedIndicator::light(int state)
{
    // Most pushes repeat what a lamp shows, and a repaint is most of what they cost. Only this
    // class sets the on-colours, so a lamp still lit in its state has the right pair.
    if (ledState == state && led->isChecked())
        return;
    led->setOnColor1(onColor1For(state));
    led->setOnColor2(onColor2For(state));
    led->setChecked(true);
    // The colour setters do not repaint, and the checked state may not have changed.
    led->update();
}

QColor MeasCondLedIndicator::onColor1For(int state)
{
    return state == Red ? QColor(255, 0, 0) : QColor(0, 255, 0);
}

QColor MeasCondLedIndicator::onColor2For(int state)
{
    return state == Red ? QColor(192, 0, 0) : QColor(0, 192, 0);
}

void MeasCondLedIndicator::setState(int state)
{
    if (state == Green || state == Red)
        light(state);
    else
        led->setChecked(false);
    ledState = state;
}

void MeasCondLedIndicator::setCondition(int cond)
{
    if (const auto state = Lamp::fromCondition(cond))
        setState(*state);
}

void MeasCondLedIndicator::reset()
{
    ledState = Off;
    led->setChecked(false);
}

bool MeasCondLedIndicator::eventFilter(QObject *watched, QEvent *event)
{
    // A disabled button swallows presses, so they are taken here on their way to the lamp.
    if (qobject_cast<LedIndicator *>(watched) && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const QPoint pos = mapFromGlobal(led->mapToGlobal(press->pos()));
        QMouseEvent mapped(press->type(), pos, press->button(), press->buttons(),
                           press->modifiers());
        mousePressEvent(&mapped);
    }
    return false;
}

void MeasCondLedIndicator::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::RightButton)
        emit customContextMenuRequested(e->pos());
}
