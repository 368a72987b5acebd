#include "ledindicator.h"

#include <QPainter>
#include <QRadialGradient>
#include <QTimer>

namespace {
const QColor rimLight(224, 224, 224);
const QColor rimDark(28, 28, 28);

QRadialGradient gradient(qreal at, const QColor &inner, const QColor &outer)
{
    QRadialGradient g(QPointF(at, at), 1500, QPointF(at, at));
    g.setColorAt(0.0, inner);
    g.setColorAt(1.0, outer);
    return g;
}
} // namespace

LedIndicator::LedIndicator(QWidget *parent, int edge)
    : QAbstractButton(parent)
{
    setMinimumSize(edge, edge);
    setMaximumHeight(edge);
    setCheckable(true);
}

LedIndicator::~LedIndicator() = default;

void LedIndicator::setOnColor1(QColor c)
{
    onColor1 = c;
}

void LedIndicator::setOffColor1(QColor c)
{
    offColor1 = c;
}

void LedIndicator::setOnColor2(QColor c)
{
    onColor2 = c;
}

void LedIndicator::setOffColor2(QColor c)
{
    offColor2 = c;
}

void LedIndicator::setBlinkInterval(int ms)
{
    blinkInterval = ms;
}

void LedIndicator::blink()
{
    if (blinking) {
        // However many requests arrive during a cycle, they add one more cycle.
        blinkPending = true;
        return;
    }
    blinking = true;
    setChecked(true);
    startBlinkTimer();
}

void LedIndicator::blinkOff()
{
    if (isChecked()) {
        setChecked(false);
        startBlinkTimer();
        return;
    }
    blinking = false;
    if (!blinkPending)
        return;
    blinking = true;
    blinkPending = false;
    setChecked(true);
    startBlinkTimer();
}

void LedIndicator::startBlinkTimer()
{
    QTimer::singleShot(blinkInterval, this, &LedIndicator::blinkOff);
}

void LedIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintLamp(painter, size(), isChecked(), onColor1, onColor2, offColor1, offColor2);
}

void LedIndicator::paintLamp(QPainter &painter, QSize size, bool on, const QColor &onColor1,
                             const QColor &onColor2, const QColor &offColor1,
                             const QColor &offColor2)
{
    const int w = size.width();
    const int h = size.height();
    const int side = qMin(w, h);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Not cosmetic: the outline scales with the lamp like everything else drawn here.
    QPen pen(Qt::black);
    pen.setWidth(1);
    pen.setCosmetic(false);

    painter.translate(w / 2, h / 2);
    painter.scale(side / 1000.0, side / 1000.0);

    // Outer rim lit from the upper left, inner rim from the lower right: the bevel.
    painter.setPen(pen);
    painter.setBrush(gradient(-500, rimLight, rimDark));
    painter.drawEllipse(QPointF(0, 0), 500, 500);

    painter.setPen(pen);
    painter.setBrush(gradient(500, rimLight, rimDark));
    painter.drawEllipse(QPointF(0, 0), 450, 450);

    painter.setPen(pen);
    if (on)
        painter.setBrush(gradient(-500, onColor1, onColor2));
    else
        painter.setBrush(gradient(500, offColor1, offColor2));
    painter.drawEllipse(QPointF(0, 0), 400, 400);
    painter.restore();
}

void LedIndicator::resizeEvent(QResizeEvent *)
{
    update();
}
