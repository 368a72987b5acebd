#include "capturecursor.h"

#include "captureplot.h"

#include <QColor>
#include <QPen>
#include <qwt_picker_machine.h>
#include <qwt_plot_canvas.h>
#include <qwt_text.h>

CaptureCursor::CaptureCursor(CapturePlot *plot)
    : QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::VLineRubberBand,
                    QwtPicker::AlwaysOn, plot->canvas())
    , plot(plot)
{
    setObjectName(QStringLiteral("captureCursor"));
    setStateMachine(new QwtPickerTrackerMachine);
    setRubberBandPen(QPen(QColor(0, 0, 0, 110), 1, Qt::DotLine));
}

CaptureCursor::~CaptureCursor() = default;

QwtText CaptureCursor::trackerTextF(const QPointF &pos) const
{
    QwtText text(plot->cursorReading(pos.x()));
    // Readable over the curves and the grid.
    text.setBackgroundBrush(QColor(255, 255, 255));
    text.setRenderFlags(Qt::AlignLeft | Qt::AlignTop);
    return text;
}
