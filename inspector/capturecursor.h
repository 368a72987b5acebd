#pragma once

#include <qwt_plot_picker.h>

class CapturePlot;

// A vertical line that follows the mouse over a capture plot and reads, at the nearest point,
// the x position and the value of every shown curve. It only tracks: the buttons stay with the
// plot's zoomer and panner.
class CaptureCursor : public QwtPlotPicker
{
    Q_OBJECT

public:
    explicit CaptureCursor(CapturePlot *plot);
    ~CaptureCursor() override;

protected:
    QwtText trackerTextF(const QPointF &pos) const override;

private:
    const CapturePlot *const plot;
};
