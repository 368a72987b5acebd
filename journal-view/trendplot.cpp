#include "trendplot.h"

#include "journaltool.h"
#include "plotexport.h"
#include "trendfollower.h"

#include <QDateTime>
#include <QEvent>
#include <QTimer>
#include <qwt_date.h>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_intervalcurve.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_panner.h>
#include <qwt_plot_zoomer.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

namespace {

const QColor Colours[] = {QColor(31, 119, 180),  QColor(214, 39, 40), QColor(44, 160, 44),
                          QColor(148, 103, 189), QColor(140, 86, 75), QColor(23, 190, 207),
                          QColor(127, 127, 127), QColor(188, 189, 34)};

// A series item drawn run by run, so that a gap stays empty instead of being bridged.
template <class Base> class Gapped : public Base
{
public:
    void setRuns(const QVector<QPair<int, int>> &list) { pieces = list; }

    void drawSeries(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                    const QRectF &canvasRect, int from, int to) const override
    {
        if (to < 0)
            to = int(this->dataSize()) - 1;
        for (const auto &run : pieces) {
            const int first = qMax(from, run.first);
            const int last = qMin(to, run.second);
            if (first <= last)
                Base::drawSeries(painter, xMap, yMap, canvasRect, first, last);
        }
    }

private:
    QVector<QPair<int, int>> pieces;
};

// The zoom limits bend the wheel and the rubber band alike: a span outside them is held at the
// nearest limit about the middle of what was asked.
void clampSpan(double *from, double *to)
{
    const double span = *to - *from;
    const double middle = (*from + *to) / 2;
    const double held = qBound(double(TrendPlot::MinSpanMs), span, double(TrendPlot::MaxSpanMs));
    if (held != span) {
        *from = middle - held / 2;
        *to = middle + held / 2;
    }
}

// Each interval is drawn over its whole length: two samples per point, at its start and end.
qint64 endOf(const TrendPoint &p)
{
    return p.startMs + qint64(p.intervalS) * 1000;
}

} // namespace

TrendPlot::TrendPlot(QWidget *parent)
    : QwtPlot(parent)
{
    setObjectName(QStringLiteral("trendPlot"));
    setCanvasBackground(Qt::white);
    insertLegend(new QwtLegend, QwtPlot::BottomLegend);
    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(0, 0, 0, 40), 0, Qt::DotLine);
    grid->attach(this);

    // Short labels: a date on every tick of a few minutes runs them into each other.
    auto *timeScale = new QwtDateScaleDraw(Qt::LocalTime);
    timeScale->setDateFormat(QwtDate::Millisecond, QStringLiteral("hh:mm:ss.zzz"));
    timeScale->setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
    timeScale->setDateFormat(QwtDate::Minute, QStringLiteral("hh:mm"));
    timeScale->setDateFormat(QwtDate::Hour, QStringLiteral("dd.MM hh:mm"));
    timeScale->setDateFormat(QwtDate::Day, QStringLiteral("dd.MM.yyyy"));
    timeScale->setDateFormat(QwtDate::Week, QStringLiteral("dd.MM.yyyy"));
    timeScale->setDateFormat(QwtDate::Month, QStringLiteral("MM.yyyy"));
    timeScale->setDateFormat(QwtDate::Year, QStringLiteral("yyyy"));
    setAxisScaleDraw(QwtPlot::xBottom, timeScale);
    setAxisScaleEngine(QwtPlot::xBottom, new QwtDateScaleEngine(Qt::LocalTime));
    setAxisAutoScale(QwtPlot::yLeft);

    zoomer = new QwtPlotZoomer(canvas());
    zoomer->setRubberBandPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    // The value axis follows what is shown; only time is zoomed by the band.
    connect(zoomer, &QwtPlotZoomer::zoomed, this, [this] {
        setAxisAutoScale(QwtPlot::yLeft);
        replot();
    });
    auto *panner = new QwtPlotPanner(canvas());
    panner->setMouseButton(Qt::MiddleButton);
    panner->setOrientations(Qt::Horizontal);
    auto *magnifier = new QwtPlotMagnifier(canvas());
    magnifier->setAxisEnabled(QwtPlot::yLeft, false);

    queryTimer = new QTimer(this);
    queryTimer->setSingleShot(true);
    queryTimer->setInterval(QueryDelayMs);
    connect(queryTimer, &QTimer::timeout, this,
            [this] { emit viewChanged(fromMs(), toMs(), pointsWanted()); });
    connect(axisWidget(QwtPlot::xBottom), &QwtScaleWidget::scaleDivChanged, this,
            &TrendPlot::scaleChanged);
    followTimer = new QTimer(this);
    followTimer->setInterval(int(TrendFollower::MinStepMs));
    connect(followTimer, &QTimer::timeout, this, &TrendPlot::follow);

    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    setRange(now - 24 * 3600 * 1000LL, now);
    retranslate();
}

TrendPlot::~TrendPlot()
{
    clearItems();
}

void TrendPlot::setRange(qint64 from, qint64 to)
{
    double f = double(from);
    double t = double(qMax(from + 1, to));
    clampSpan(&f, &t);
    setAxisScale(QwtPlot::xBottom, f, t);
    setAxisAutoScale(QwtPlot::yLeft);
    replot();
    zoomer->setZoomBase(false);
    queryTimer->start();
}

qint64 TrendPlot::fromMs() const
{
    return qint64(std::floor(axisScaleDiv(QwtPlot::xBottom).lowerBound()));
}

qint64 TrendPlot::toMs() const
{
    return qint64(std::ceil(axisScaleDiv(QwtPlot::xBottom).upperBound()));
}

int TrendPlot::pointsWanted() const
{
    return qMax(2, canvas()->width());
}

void TrendPlot::scaleChanged()
{
    if (clamping)
        return;
    double from = axisScaleDiv(QwtPlot::xBottom).lowerBound();
    double to = axisScaleDiv(QwtPlot::xBottom).upperBound();
    const double span = to - from;
    clampSpan(&from, &to);
    if (to - from != span) {
        clamping = true;
        setAxisScale(QwtPlot::xBottom, from, to);
        clamping = false;
        // Asked from within the replot that laid out the axis: the held range is drawn by
        // the next one.
        QMetaObject::invokeMethod(this, &QwtPlot::replot, Qt::QueuedConnection);
    }
    if (!moving) {
        lastMoveMs = QDateTime::currentMSecsSinceEpoch();
        atPresent = TrendFollower::looksAtPresent(fromMs(), toMs(), lastMoveMs, pointsWanted());
    }
    queryTimer->start();
}

void TrendPlot::setFollowing(bool on)
{
    followOn = on;
    if (on)
        followTimer->start();
    else
        followTimer->stop();
}

void TrendPlot::follow()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 from = fromMs();
    const qint64 to = toMs();
    // Not while the user drags a band or the plot is hidden: it would move under the mouse, or
    // read for nobody.
    if (!atPresent || !isVisible() || zoomer->isActive() ||
        !TrendFollower::due(from, to, lastMoveMs, now, pointsWanted()))
        return;
    lastMoveMs = now;
    moving = true;
    setAxisScale(QwtPlot::xBottom, double(now - (to - from)), double(now));
    replot();
    moving = false;
}

void TrendPlot::resizeEvent(QResizeEvent *event)
{
    QwtPlot::resizeEvent(event);
    // Wider, the plot can show finer intervals.
    queryTimer->start();
}

QVector<QPair<int, int>> TrendPlot::runs(const QVector<TrendPoint> &points)
{
    QVector<QPair<int, int>> out;
    int start = -1;
    for (int i = 0; i < points.size(); ++i) {
        const TrendPoint &p = points[i];
        if (!p.valid || p.count == 0) {
            if (start >= 0)
                out << qMakePair(start, i - 1);
            start = -1;
            continue;
        }
        if (start >= 0 && endOf(points[i - 1]) < p.startMs) {
            out << qMakePair(start, i - 1);
            start = -1;
        }
        if (start < 0)
            start = i;
    }
    if (start >= 0)
        out << qMakePair(start, points.size() - 1);
    return out;
}

void TrendPlot::clearItems()
{
    for (QwtPlotItem *item : qAsConst(items)) {
        item->detach();
        delete item;
    }
    items.clear();
}

void TrendPlot::setTrends(const QVector<TrendData> &trends, const QVector<QString> &titles,
                          qint64 fromMs, qint64 toMs)
{
    clearItems();
    dataFrom = fromMs;
    dataTo = toMs;
    shown = trends;
    shownTitles = titles;
    shownRuns.clear();
    for (int i = 0; i < trends.size(); ++i) {
        const TrendData &d = trends[i];
        const QColor colour = Colours[i % (sizeof(Colours) / sizeof(Colours[0]))];
        const QVector<QPair<int, int>> pointRuns = runs(d.points);
        shownRuns << pointRuns;
        // Two samples per point, so the runs of samples are those of points doubled.
        QVector<QPair<int, int>> sampleRuns;
        for (const auto &r : pointRuns)
            sampleRuns << qMakePair(2 * r.first, 2 * r.second + 1);
        QVector<QwtIntervalSample> band;
        QVector<QPointF> mean;
        band.reserve(2 * d.points.size());
        mean.reserve(2 * d.points.size());
        for (const TrendPoint &p : d.points) {
            const double m = p.count ? p.sum / p.count : 0.0;
            for (const qint64 t : {p.startMs, endOf(p)}) {
                band << QwtIntervalSample(double(t), double(p.min), double(p.max));
                mean << QPointF(double(t), m);
            }
        }
        auto *bandItem = new Gapped<QwtPlotIntervalCurve>;
        bandItem->setStyle(QwtPlotIntervalCurve::Tube);
        QColor fill = colour;
        fill.setAlpha(60);
        bandItem->setBrush(fill);
        bandItem->setPen(QPen(Qt::NoPen));
        bandItem->setItemAttribute(QwtPlotItem::Legend, false);
        bandItem->setSamples(band);
        bandItem->setRuns(sampleRuns);
        bandItem->attach(this);
        items << bandItem;

        auto *meanItem = new Gapped<QwtPlotCurve>;
        meanItem->setTitle(titles.value(i));
        meanItem->setPen(colour, 1.5);
        meanItem->setSamples(mean);
        meanItem->setRuns(sampleRuns);
        meanItem->attach(this);
        items << meanItem;

        // Raised alarms as triangles, amber for an alert and red for worse; returns to quiet as
        // hollow circles in the measurement's colour.
        QVector<QPointF> alert, danger, cleared;
        for (const JournalEvent &e : d.transitions) {
            if (!e.hasValue)
                continue;
            const QPointF at(double(e.timeMs), double(e.value));
            if (e.to == QLatin1String("true"))
                (e.kind == Journal::Kind::Alert ? alert : danger) << at;
            else
                cleared << at;
        }
        auto addMarks = [&](const QVector<QPointF> &where, QwtSymbol::Style style,
                            const QBrush &brush, const QColor &pen) {
            if (where.isEmpty())
                return;
            auto *marks = new QwtPlotCurve;
            marks->setStyle(QwtPlotCurve::NoCurve);
            marks->setSymbol(new QwtSymbol(style, brush, QPen(pen), QSize(9, 9)));
            marks->setItemAttribute(QwtPlotItem::Legend, false);
            marks->setSamples(where);
            marks->setZ(30);
            marks->attach(this);
            items << marks;
        };
        addMarks(alert, QwtSymbol::Triangle, QColor(255, 191, 0), Qt::black);
        addMarks(danger, QwtSymbol::Triangle, QColor(255, 0, 0), Qt::black);
        addMarks(cleared, QwtSymbol::Ellipse, Qt::NoBrush, colour);
    }
    setAxisAutoScale(QwtPlot::yLeft);
    replot();
}

QVector<QVector<QPointF>> TrendPlot::meanRuns(int i) const
{
    QVector<QVector<QPointF>> out;
    if (i < 0 || i >= shown.size())
        return out;
    for (const auto &r : shownRuns[i]) {
        QVector<QPointF> line;
        for (int p = r.first; p <= r.second; ++p) {
            const TrendPoint &t = shown[i].points[p];
            const double m = t.sum / t.count;
            line << QPointF(double(t.startMs), m) << QPointF(double(endOf(t)), m);
        }
        out << line;
    }
    return out;
}

QVector<QPointF> TrendPlot::marks(int i) const
{
    QVector<QPointF> out;
    if (i < 0 || i >= shown.size())
        return out;
    for (const JournalEvent &e : shown[i].transitions)
        if (e.hasValue)
            out << QPointF(double(e.timeMs), double(e.value));
    return out;
}

QString TrendPlot::csv() const
{
    QString out;
    for (int i = 0; i < shown.size(); ++i) {
        if (shown.size() > 1)
            out += QStringLiteral("# ") + shownTitles.value(i) + QLatin1Char('\n');
        out += JournalTool::trendCsvHeader() + QLatin1Char('\n');
        for (const TrendPoint &p : shown[i].points)
            out += JournalTool::trendCsvLine(p) + QLatin1Char('\n');
    }
    return out;
}

bool TrendPlot::exportCsv(const QString &path, QString *error) const
{
    return PlotExport::saveText(path, csv(), error);
}

bool TrendPlot::exportPng(const QString &path, QString *error, const QSize &size)
{
    return PlotExport::savePng(this, path, size, error);
}

void TrendPlot::copyToClipboard()
{
    PlotExport::copy(this, csv());
}

void TrendPlot::changeEvent(QEvent *event)
{
    QwtPlot::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void TrendPlot::retranslate()
{
    setAxisTitle(QwtPlot::xBottom, tr("Local time"));
    setAxisTitle(QwtPlot::yLeft, tr("Min - max, mean"));
}
