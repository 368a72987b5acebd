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

void MeasCondLedIndicator::light(const QColor &c1, const QColor &c2)
{
    led->setOnColor1(c1);
    led->setOnColor2(c2);
    led->setChecked(true);
    // The colour setters do not repaint, and the checked state may not have changed.
    led->update();
}

void MeasCondLedIndicator::setState(int state)
{
    ledState = state;
    switch (state) {
    case Green:
        light(QColor(0, 255, 0), QColor(0, 192, 0));
        break;
    case Red:
        light(QColor(255, 0, 0), QColor(192, 0, 0));
        break;
    default:
        led->setChecked(false);
        break;
    }
}

void MeasCondLedIndicator::setCondition(int cond)
{
    switch (cond) {
    case -1:
        setState(Off);
        break;
    case 0:
        setState(Green);
        break;
    case 1:
        setState(Red);
        break;
    default:
        break;
    }
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
