#include "captureplot.h"

#include "capturecursor.h"
#include "plotexport.h"

#include <QEvent>
#include <QFileInfo>
#include <QPen>
#include <QTextStream>

#include <cmath>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_zoomer.h>
#include <qwt_symbol.h>

namespace {

const QColor ChannelColours[CapturePlot::Channels] = {QColor(0, 90, 200), QColor(210, 60, 20),
                                                      QColor(0, 140, 60), QColor(140, 40, 160)};

} // namespace

CapturePlot::CapturePlot(QWidget *parent)
    : QwtPlot(parent)
{
    setCanvasBackground(Qt::white);
    auto *legend = new QwtLegend;
    legend->setDefaultItemMode(QwtLegendData::Checkable);
    insertLegend(legend, QwtPlot::BottomLegend);
    connect(legend, &QwtLegend::checked, this, [this](const QVariant &info, bool on, int) {
        for (int ch = 0; ch < Channels; ++ch) {
            if (infoToItem(info) == curves[ch])
                setChannelShown(ch, on);
        }
    });

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(0, 0, 0, 40), 0, Qt::DotLine);
    grid->attach(this);

    for (int ch = 0; ch < Channels; ++ch) {
        curves[ch] = new QwtPlotCurve;
        curves[ch]->setPen(ChannelColours[ch], 1.0);
        curves[ch]->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        // A channel without a capture has no entry in the legend.
        curves[ch]->setItemAttribute(QwtPlotItem::Legend, false);
        curves[ch]->attach(this);

        peakMarkers[ch] = new QwtPlotMarker;
        peakMarkers[ch]->setZ(curves[ch]->z() + 1);
        peakMarkers[ch]->setVisible(false);
        peakMarkers[ch]->attach(this);
    }

    zoomer = new QwtPlotZoomer(canvas());
    zoomer->setRubberBandPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    // The cursor reads the curves; a second read-out of bare coordinates would only cover it.
    zoomer->setTrackerMode(QwtPicker::AlwaysOff);
    cursor = new CaptureCursor(this);
    // Middle button pans, the wheel zooms about the cursor; the zoomer keeps the left button.
    auto *panner = new QwtPlotPanner(canvas());
    panner->setMouseButton(Qt::MiddleButton);
    new QwtPlotMagnifier(canvas());

    retranslate();
}

CapturePlot::~CapturePlot() = default;

void CapturePlot::setKind(Kind shown)
{
    kind = shown;
    retranslate();
}

void CapturePlot::setTitles(const QString &title, const QString &xTitle, const QString &yTitle,
                            const QString &xReadingText)
{
    xReading = xReadingText;
    setTitle(title);
    setAxisTitle(QwtPlot::xBottom, xTitle);
    setAxisTitle(QwtPlot::yLeft, yTitle);
}

void CapturePlot::setPointFormat(PointFormat::Kind kind)
{
    if (kind == format)
        return;
    format = kind;
    for (int ch = 0; ch < Channels; ++ch)
        updateCurve(ch);
    updateScales();
}

void CapturePlot::setCapture(int ch, const QVector<quint32> &points)
{
    if (ch < 0 || ch >= Channels)
        return;
    words[ch] = points;
    arrived[ch] = points.isEmpty() ? QDateTime() : QDateTime::currentDateTime();
    if (older[ch]) {
        older[ch] = false;
        restyle(ch);
    }
    updateCurve(ch);
    updateScales();
}

void CapturePlot::clearCaptures()
{
    for (int ch = 0; ch < Channels; ++ch) {
        words[ch].clear();
        updateCurve(ch);
    }
    updateScales();
}

QVector<quint32> CapturePlot::capture(int ch) const
{
    return ch >= 0 && ch < Channels ? words[ch] : QVector<quint32>();
}

QVector<QPointF> CapturePlot::curveSamples(int ch) const
{
    QVector<QPointF> out;
    if (ch < 0 || ch >= Channels)
        return out;
    const QwtSeriesData<QPointF> *data = curves[ch]->data();
    for (size_t i = 0; i < data->size(); ++i)
        out.append(data->sample(i));
    return out;
}

void CapturePlot::setChannelShown(int ch, bool shown)
{
    if (ch < 0 || ch >= Channels)
        return;
    curves[ch]->setVisible(shown);
    updateMarker(ch);
    syncLegendChecks();
    replot();
}

bool CapturePlot::isChannelShown(int ch) const
{
    return ch >= 0 && ch < Channels && curves[ch]->isVisible();
}

std::optional<QPointF> CapturePlot::peak(int ch) const
{
    if (ch < 0 || ch >= Channels || curves[ch]->data()->size() == 0)
        return std::nullopt;
    // The largest magnitude: a waveform swings both ways.
    const QwtSeriesData<QPointF> *data = curves[ch]->data();
    QPointF top = data->sample(0);
    for (size_t i = 1; i < data->size(); ++i) {
        if (std::abs(data->sample(i).y()) > std::abs(top.y()))
            top = data->sample(i);
    }
    return top;
}

QString CapturePlot::cursorReading(double x) const
{
    // Points sit on whole indexes; the nearest one is what the user points at.
    const double at = std::round(x);
    QStringList lines{xReading.arg(at)};
    for (int ch = 0; ch < Channels; ++ch) {
        if (words[ch].isEmpty() || !curves[ch]->isVisible())
            continue;
        // Samples ascend in x, with gaps where a word was not a finite number.
        const QwtSeriesData<QPointF> *data = curves[ch]->data();
        size_t lo = 0;
        size_t hi = data->size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (data->sample(mid).x() < at)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < data->size() && data->sample(lo).x() == at)
            lines << tr("Channel %1: %2").arg(ch + 1).arg(data->sample(lo).y(), 0, 'g', 6);
    }
    return lines.join(QLatin1Char('\n'));
}

QString CapturePlot::curveTitle(int ch) const
{
    QString title = stale       ? tr("Channel %1 (not live)").arg(ch + 1)
                    : older[ch] ? tr("Channel %1 (older capture)").arg(ch + 1)
                                : tr("Channel %1").arg(ch + 1);
    const std::optional<QPointF> top = peak(ch);
    if (!top)
        return title;
    return tr("%1, peak %2 at %3").arg(title).arg(top->y(), 0, 'g', 6).arg(top->x());
}

void CapturePlot::updateMarker(int ch)
{
    const std::optional<QPointF> top = peak(ch);
    QwtPlotMarker *marker = peakMarkers[ch];
    marker->setVisible(top && curves[ch]->isVisible());
    if (!top)
        return;
    const QColor colour = curves[ch]->pen().color();
    marker->setValue(*top);
    marker->setSymbol(
        new QwtSymbol(QwtSymbol::Diamond, QBrush(colour), QPen(colour.darker(150)), QSize(9, 9)));
    QwtText label(QString::number(top->y(), 'g', 6));
    label.setColor(colour);
    marker->setLabel(label);
    // Beside the peak rather than beyond it: a peak lies at the edge of the autoscaled axis.
    marker->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void CapturePlot::syncLegendChecks()
{
    auto *legend = qobject_cast<QwtLegend *>(this->legend());
    for (int ch = 0; legend && ch < Channels; ++ch) {
        if (auto *label =
                qobject_cast<QwtLegendLabel *>(legend->legendWidget(itemToInfo(curves[ch]))))
            label->setChecked(curves[ch]->isVisible());
    }
}

void CapturePlot::setStale(bool on)
{
    if (stale == on)
        return;
    stale = on;
    for (int ch = 0; ch < Channels; ++ch)
        restyle(ch);
    updateLegend();
    syncLegendChecks();
    replot();
}

void CapturePlot::markOlder(int ch)
{
    if (ch < 0 || ch >= Channels || words[ch].isEmpty() || older[ch])
        return;
    older[ch] = true;
    restyle(ch);
    updateLegend();
    syncLegendChecks();
    replot();
}

void CapturePlot::restyle(int ch)
{
    // Faded in its own colour, so the legend still tells the channels apart.
    const bool faded = stale || older[ch];
    QColor colour = ChannelColours[ch];
    if (faded)
        colour.setAlpha(90);
    curves[ch]->setPen(colour, 1.0, faded ? Qt::DashLine : Qt::SolidLine);
    curves[ch]->setTitle(curveTitle(ch));
    updateMarker(ch);
}

void CapturePlot::updateCurve(int ch)
{
    curves[ch]->setSamples(PointFormat::samples(words[ch], format));
    curves[ch]->setTitle(curveTitle(ch));
    curves[ch]->setItemAttribute(QwtPlotItem::Legend, !words[ch].isEmpty());
    updateMarker(ch);
    // A new capture is live again.
    if (stale && !words[ch].isEmpty())
        setStale(false);
}

void CapturePlot::updateScales()
{
    // Follow the data unless the user has zoomed in; then the view stays where it is.
    if (zoomer->zoomRectIndex() == 0) {
        setAxisAutoScale(QwtPlot::xBottom);
        setAxisAutoScale(QwtPlot::yLeft);
        replot();
        zoomer->setZoomBase(false);
    } else {
        replot();
    }
    updateLegend();
    syncLegendChecks();
}

namespace {

QString withSuffix(const QString &path, const QString &suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

QString formatName(PointFormat::Kind kind)
{
    switch (kind) {
    case PointFormat::Float32:
        return QStringLiteral("IEEE 754 float");
    case PointFormat::Int32:
        return QStringLiteral("signed 32-bit integer");
    case PointFormat::UInt32:
        return QStringLiteral("unsigned 32-bit integer");
    }
    return QString();
}

} // namespace

QString CapturePlot::captureTimes() const
{
    QStringList times;
    for (int ch = 0; ch < Channels; ++ch) {
        if (!words[ch].isEmpty())
            times << tr("channel %1 %2")
                         .arg(ch + 1)
                         .arg(arrived[ch].toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }
    return times.join(QStringLiteral(", "));
}

QString CapturePlot::csv(const QString &module) const
{
    QString out;
    QTextStream s(&out);
    int rows = 0;
    // Comment lines first, so that a spreadsheet or a script still finds the header line.
    s << "# " << title().text() << (module.isEmpty() ? QString() : QStringLiteral(": ") + module)
      << '\n';
    s << "# captured: " << captureTimes() << '\n';
    s << "# values: " << formatName(format) << ", as the module sent them; no unit\n";
    s << "point";
    for (int ch = 0; ch < Channels; ++ch) {
        if (words[ch].isEmpty())
            continue;
        s << ",channel " << ch + 1;
        rows = qMax(rows, words[ch].size());
    }
    s << '\n';
    for (int i = 0; i < rows; ++i) {
        s << i;
        for (int ch = 0; ch < Channels; ++ch) {
            if (words[ch].isEmpty())
                continue;
            s << ',';
            if (i < words[ch].size())
                s << PointFormat::text(words[ch][i], format);
        }
        s << '\n';
    }
    s.flush();
    return out;
}

bool CapturePlot::exportCsv(const QString &path, QString *error, const QString &module) const
{
    return PlotExport::saveText(withSuffix(path, QStringLiteral("csv")), csv(module), error);
}

bool CapturePlot::exportPng(const QString &path, QString *error, const QString &module,
                            const QSize &size)
{
    const QwtText shownFooter = footer();
    setFooter(QStringList{module, captureTimes()}.join(QStringLiteral(" - ")));
    const bool saved =
        PlotExport::savePng(this, withSuffix(path, QStringLiteral("png")), size, error);
    setFooter(shownFooter);
    return saved;
}

void CapturePlot::copyToClipboard()
{
    PlotExport::copy(this, csv());
}

void CapturePlot::changeEvent(QEvent *event)
{
    QwtPlot::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void CapturePlot::retranslate()
{
    // No field of a capture's header or of the configuration gives a sampling rate or a line
    // spacing, so the x axis can only count points; the values carry no unit for the same
    // reason.
    const QString value = tr("Value (point format, no unit known)");
    if (kind == Waveform)
        setTitles(tr("Waveform"), tr("Sample index (no sampling rate known)"), value,
                  tr("Sample %1"));
    else
        setTitles(tr("Spectrum"), tr("Line index (no line spacing known)"), value, tr("Line %1"));
    for (int ch = 0; ch < Channels; ++ch)
        curves[ch]->setTitle(curveTitle(ch));
    updateLegend();
    syncLegendChecks();
}
