#include "captureplot.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPen>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>
#include <qwt_legend.h>
#include <qwt_legend_label.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_renderer.h>
#include <qwt_plot_zoomer.h>

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
    }

    zoomer = new QwtPlotZoomer(canvas());
    zoomer->setRubberBandPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    zoomer->setTrackerMode(QwtPicker::AlwaysOn);
    // Middle button pans, the wheel zooms about the cursor; the zoomer keeps the left button.
    auto *panner = new QwtPlotPanner(canvas());
    panner->setMouseButton(Qt::MiddleButton);
    new QwtPlotMagnifier(canvas());

    retranslate();
}

CapturePlot::~CapturePlot() = default;

void CapturePlot::setTitles(const QString &title, const QString &xTitle, const QString &yTitle)
{
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
    syncLegendChecks();
    replot();
}

bool CapturePlot::isChannelShown(int ch) const
{
    return ch >= 0 && ch < Channels && curves[ch]->isVisible();
}

QString CapturePlot::curveTitle(int ch) const
{
    QString title = stale       ? tr("Channel %1 (not live)").arg(ch + 1)
                    : older[ch] ? tr("Channel %1 (older capture)").arg(ch + 1)
                                : tr("Channel %1").arg(ch + 1);
    const QwtSeriesData<QPointF> *data = curves[ch]->data();
    if (data->size() == 0)
        return title;
    // The peak is the largest magnitude: a waveform swings both ways.
    QPointF peak = data->sample(0);
    for (size_t i = 1; i < data->size(); ++i) {
        if (std::abs(data->sample(i).y()) > std::abs(peak.y()))
            peak = data->sample(i);
    }
    return tr("%1, peak %2 at %3").arg(title).arg(peak.y(), 0, 'g', 6).arg(peak.x());
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
}

void CapturePlot::updateCurve(int ch)
{
    curves[ch]->setSamples(PointFormat::samples(words[ch], format));
    curves[ch]->setTitle(curveTitle(ch));
    curves[ch]->setItemAttribute(QwtPlotItem::Legend, !words[ch].isEmpty());
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
    QSaveFile file(withSuffix(path, QStringLiteral("csv")));
    const QByteArray bytes = csv(module).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool CapturePlot::exportPng(const QString &path, QString *error, const QString &module,
                            const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    const QwtText shownFooter = footer();
    setFooter(QStringList{module, captureTimes()}.join(QStringLiteral(" - ")));
    QwtPlotRenderer().renderTo(this, image);
    setFooter(shownFooter);
    QSaveFile file(withSuffix(path, QStringLiteral("png")));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        if (error)
            *error =
                file.errorString().isEmpty() ? tr("Cannot write the image") : file.errorString();
        return false;
    }
    return true;
}

void CapturePlot::copyToClipboard()
{
    auto *mime = new QMimeData;
    mime->setText(csv());
    mime->setImageData(grab().toImage());
    QApplication::clipboard()->setMimeData(mime);
}

void CapturePlot::changeEvent(QEvent *event)
{
    QwtPlot::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void CapturePlot::retranslate()
{
    for (int ch = 0; ch < Channels; ++ch)
        curves[ch]->setTitle(curveTitle(ch));
    updateLegend();
    syncLegendChecks();
}
