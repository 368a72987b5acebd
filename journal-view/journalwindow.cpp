#include "journalwindow.h"

#include "alarmlampdelegate.h"
#include "alarmmodel.h"
#include "eventmodel.h"
#include "journalcontroller.h"
#include "journalformat.h"
#include "journalviewsettings.h"
#include "measurementmodel.h"
#include "trendplot.h"
#include "windowshell.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A report is for reading: past this many rows it says so rather than printing a book.
constexpr int ReportRowLimit = 20000;

const Journal::Kind AllKinds[] = {
    Journal::Kind::RecordingStarted, Journal::Kind::RecordingStopped,
    Journal::Kind::NodeHeard,        Journal::Kind::NodeSilent,
    Journal::Kind::ConfigChanged,    Journal::Kind::ChannelStatus,
    Journal::Kind::Failure,          Journal::Kind::Alert,
    Journal::Kind::Danger,           Journal::Kind::RelayEnabled,
    Journal::Kind::RelayFault,       Journal::Kind::RelayPhysical,
    Journal::Kind::RelayLogical,     Journal::Kind::Gap,
    Journal::Kind::Acknowledged,
};

bool askComment(QWidget *parent, QString *comment)
{
    bool ok = false;
    *comment = QInputDialog::getMultiLineText(parent, JournalWindow::tr("Acknowledge"),
                                              JournalWindow::tr("Comment on the acknowledgement:"),
                                              QString(), &ok);
    return ok;
}

} // namespace

JournalWindow::JournalWindow(const JournalLocation &location, QWidget *parent,
                             const JournalTiming &timing)
    : QMainWindow(parent)
    , commentPrompt(askComment)
{
    journal = new JournalController(location, timing, this);
    alarms = new AlarmModel(this);
    events = new EventModel(journal, this);
    measurements = new MeasurementModel(this);
    buildForm();

    WindowShell::setUpLanguages(languageMenu);

    connect(journal, &JournalController::liveChanged, this, &JournalWindow::showLive);
    connect(journal, &JournalController::alarmsRead, this,
            [this](const QVector<SummaryAlarm> &list) {
                alarms->setAlarms(list);
                showAlarms();
            });
    connect(journal, &JournalController::acknowledged, this, [this](bool ok, const QString &error) {
        ackPending = false;
        if (!ok)
            showMessage(QMessageBox::Warning, tr("Acknowledge"),
                        tr("The alarms of %1 were not acknowledged: %2")
                            .arg(journal->location().display(), error));
    });
    connect(journal, &JournalController::exported, this,
            [this](bool ok, const QString &path, const QString &error) {
                if (ok)
                    statusBar()->showMessage(tr("Exported to %1").arg(path), 5000);
                else
                    showMessage(QMessageBox::Warning, tr("Export CSV"),
                                tr("Cannot write %1: %2").arg(path, error));
                emit reportWritten(ok, path);
            });
    connect(journal, &JournalController::allRead, this,
            [this](quint64 request, const QVector<JournalEvent> &list, bool complete) {
                if (request != reportRequest)
                    return;
                reportRequest = 0;
                QPrinter printer(QPrinter::HighResolution);
                if (!reportPath.isEmpty()) {
                    printer.setOutputFormat(QPrinter::PdfFormat);
                    printer.setOutputFileName(reportPath);
                } else {
                    QPrintDialog dialog(&printer, this);
                    if (dialog.exec() != QDialog::Accepted)
                        return;
                }
                printer.setPageOrientation(QPageLayout::Landscape);
                const qint64 now = QDateTime::currentMSecsSinceEpoch();
                QString html =
                    QStringLiteral("<h2>%1</h2><p>%2<br>%3</p>")
                        .arg(tr("Journal %1").arg(journal->location().display().toHtmlEscaped()),
                             historyFilter().describe(now).toHtmlEscaped(),
                             complete ? tr("%n event(s)", nullptr, list.size())
                                      : tr("The newest %n events only", nullptr, list.size()));
                html +=
                    QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>");
                for (int c = 0; c < EventModel::ColumnCount; ++c)
                    html +=
                        QStringLiteral("<th>%1</th>")
                            .arg(events->headerData(c, Qt::Horizontal).toString().toHtmlEscaped());
                html += QStringLiteral("</tr>");
                // Newest first, as the history shows them.
                for (int i = list.size() - 1; i >= 0; --i) {
                    html += QStringLiteral("<tr>");
                    const QStringList cells = EventModel::cells(list[i]);
                    for (const QString &cell : cells)
                        html += QStringLiteral("<td>%1</td>").arg(cell.toHtmlEscaped());
                    html += QStringLiteral("</tr>");
                }
                html += QStringLiteral("</table>");
                QTextDocument document;
                document.setDefaultFont(QFont(font().family(), 7));
                document.setHtml(html);
                document.print(&printer);
                const bool ok = printer.printerState() != QPrinter::Error;
                if (!reportPath.isEmpty() && !ok)
                    showMessage(QMessageBox::Warning, tr("Export PDF"),
                                tr("Cannot write %1").arg(reportPath));
                emit reportWritten(ok, reportPath);
            });
    connect(events, &EventModel::loadFailed, this, [this](const QString &reason) {
        statusBar()->showMessage(tr("Cannot read the history: %1").arg(reason), 5000);
    });

    connect(journal, &JournalController::seriesRead, this,
            [this](const QVector<TrendSeries> &list) {
                const QVector<TrendSeries> before = measurements->shown();
                measurements->setSeries(list);
                measurementTree->expandAll();
                if (measurements->shown().size() != before.size())
                    requestTrend();
            });
    connect(measurements, &MeasurementModel::chosenChanged, this, &JournalWindow::requestTrend);
    connect(plot, &TrendPlot::viewChanged, this, &JournalWindow::requestTrend);
    connect(journal, &JournalController::trendRead, this, &JournalWindow::showTrend);
    connect(journal, &JournalController::trendFailed, this,
            [this](quint64 request, const QString &reason) {
                if (request == trendRequest)
                    statusBar()->showMessage(tr("Cannot read the trend: %1").arg(reason), 5000);
            });

    restoreGeometry(JournalViewSettings::geometry());
    restoreState(JournalViewSettings::windowState());
    setHistoryFilter(JournalViewSettings::filter());
    measurements->setChosen(JournalViewSettings::trendMeasurements());
    retranslateUi();
    showLive(false, QString());
    journal->start();
    applyFilter();
}

JournalWindow::~JournalWindow() = default;

void JournalWindow::buildForm()
{
    setObjectName(QStringLiteral("JournalWindow"));
    resize(1200, 760);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    setCentralWidget(tabs);

    auto *alarmPage = new QWidget(tabs);
    alarmPage->setObjectName(QStringLiteral("alarmPage"));
    auto *alarmLayout = new QVBoxLayout(alarmPage);
    alarmTable = new QTableView(alarmPage);
    alarmTable->setObjectName(QStringLiteral("alarmTable"));
    alarmTable->setModel(alarms);
    lampDelegate = new AlarmLampDelegate(alarmTable);
    alarmTable->setItemDelegateForColumn(AlarmModel::LampColumn, lampDelegate);
    alarmTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    alarmTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    alarmTable->verticalHeader()->hide();
    alarmTable->horizontalHeader()->setStretchLastSection(true);
    // Fixed widths: measuring the contents of a long summary would stall the window.
    const int widths[] = {32, 250, 190, 130, 50, 60, 120, 60, 60, 110};
    for (int c = 0; c < AlarmModel::ColumnCount - 1; ++c)
        alarmTable->setColumnWidth(c, widths[c]);
    alarmLayout->addWidget(alarmTable);
    auto *alarmButtons = new QHBoxLayout;
    alarmButtons->addStretch();
    ackButton = new QPushButton(alarmPage);
    ackButton->setObjectName(QStringLiteral("ackButton"));
    alarmButtons->addWidget(ackButton);
    alarmLayout->addLayout(alarmButtons);
    tabs->addTab(alarmPage, QString());

    auto *historyPage = new QWidget(tabs);
    historyPage->setObjectName(QStringLiteral("historyPage"));
    auto *historyLayout = new QVBoxLayout(historyPage);
    auto *filters = new QGridLayout;
    rangeLabel = new QLabel(historyPage);
    rangeCombo = new QComboBox(historyPage);
    rangeCombo->setObjectName(QStringLiteral("rangeCombo"));
    for (int i = 0; i <= int(HistoryFilter::Range::Custom); ++i)
        rangeCombo->addItem(QString(), i);
    fromLabel = new QLabel(historyPage);
    fromEdit = new QDateTimeEdit(historyPage);
    fromEdit->setObjectName(QStringLiteral("fromEdit"));
    fromEdit->setCalendarPopup(true);
    fromEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    toLabel = new QLabel(historyPage);
    toEdit = new QDateTimeEdit(historyPage);
    toEdit->setObjectName(QStringLiteral("toEdit"));
    toEdit->setCalendarPopup(true);
    toEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    installationLabel = new QLabel(historyPage);
    installationEdit = new QLineEdit(historyPage);
    installationEdit->setObjectName(QStringLiteral("installationEdit"));
    nodeLabel = new QLabel(historyPage);
    nodeSpin = new QSpinBox(historyPage);
    nodeSpin->setObjectName(QStringLiteral("nodeSpin"));
    nodeSpin->setRange(0, 32);
    channelLabel = new QLabel(historyPage);
    channelSpin = new QSpinBox(historyPage);
    channelSpin->setObjectName(QStringLiteral("channelSpin"));
    channelSpin->setRange(0, 4);
    kindLabel = new QLabel(historyPage);
    kindCombo = new QComboBox(historyPage);
    kindCombo->setObjectName(QStringLiteral("kindCombo"));
    kindCombo->addItem(QString(), -1);
    for (Journal::Kind kind : AllKinds)
        kindCombo->addItem(Journal::kindName(kind), int(kind));
    alarmsOnlyCheck = new QCheckBox(historyPage);
    alarmsOnlyCheck->setObjectName(QStringLiteral("alarmsOnlyCheck"));
    unackedOnlyCheck = new QCheckBox(historyPage);
    unackedOnlyCheck->setObjectName(QStringLiteral("unackedOnlyCheck"));
    searchEdit = new QLineEdit(historyPage);
    searchEdit->setObjectName(QStringLiteral("searchEdit"));
    searchEdit->setClearButtonEnabled(true);
    filters->addWidget(rangeLabel, 0, 0);
    filters->addWidget(rangeCombo, 0, 1);
    filters->addWidget(fromLabel, 0, 2);
    filters->addWidget(fromEdit, 0, 3);
    filters->addWidget(toLabel, 0, 4);
    filters->addWidget(toEdit, 0, 5);
    filters->addWidget(searchEdit, 0, 6, 1, 3);
    filters->addWidget(installationLabel, 1, 0);
    filters->addWidget(installationEdit, 1, 1);
    filters->addWidget(nodeLabel, 1, 2);
    filters->addWidget(nodeSpin, 1, 3);
    filters->addWidget(channelLabel, 1, 4);
    filters->addWidget(channelSpin, 1, 5);
    filters->addWidget(kindLabel, 1, 6);
    filters->addWidget(kindCombo, 1, 7);
    filters->addWidget(alarmsOnlyCheck, 2, 0, 1, 2);
    filters->addWidget(unackedOnlyCheck, 2, 2, 1, 2);
    filters->setColumnStretch(8, 1);
    historyLayout->addLayout(filters);
    eventTable = new QTableView(historyPage);
    eventTable->setObjectName(QStringLiteral("eventTable"));
    eventTable->setModel(events);
    eventTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    eventTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    eventTable->verticalHeader()->hide();
    // Rows of one height: the view then never measures rows it does not show.
    eventTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    eventTable->horizontalHeader()->setStretchLastSection(true);
    eventTable->setColumnWidth(EventModel::TimeColumn, 210);
    historyLayout->addWidget(eventTable);
    tabs->addTab(historyPage, QString());

    auto *trendPage = new QWidget(tabs);
    trendPage->setObjectName(QStringLiteral("trendPage"));
    auto *trendLayout = new QVBoxLayout(trendPage);
    auto *splitter = new QSplitter(trendPage);
    measurementTree = new QTreeView(splitter);
    measurementTree->setObjectName(QStringLiteral("measurementTree"));
    measurementTree->setModel(measurements);
    measurementTree->setHeaderHidden(true);
    measurementTree->setUniformRowHeights(true);
    plot = new TrendPlot(splitter);
    splitter->addWidget(measurementTree);
    splitter->addWidget(plot);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({280, 900});
    trendLayout->addWidget(splitter, 1);
    auto *trendButtons = new QHBoxLayout;
    trendHint = new QLabel(trendPage);
    trendHint->setObjectName(QStringLiteral("trendHint"));
    trendButtons->addWidget(trendHint, 1);
    trendCsvButton = new QPushButton(trendPage);
    trendCsvButton->setObjectName(QStringLiteral("trendCsvButton"));
    trendPngButton = new QPushButton(trendPage);
    trendPngButton->setObjectName(QStringLiteral("trendPngButton"));
    trendCopyButton = new QPushButton(trendPage);
    trendCopyButton->setObjectName(QStringLiteral("trendCopyButton"));
    trendButtons->addWidget(trendCsvButton);
    trendButtons->addWidget(trendPngButton);
    trendButtons->addWidget(trendCopyButton);
    trendLayout->addLayout(trendButtons);
    tabs->addTab(trendPage, QString());

    journalMenu = menuBar()->addMenu(QString());
    exportCsvAction = journalMenu->addAction(QString());
    exportCsvAction->setObjectName(QStringLiteral("exportCsvAction"));
    printAction = journalMenu->addAction(QString());
    printAction->setObjectName(QStringLiteral("printAction"));
    exportPdfAction = journalMenu->addAction(QString());
    exportPdfAction->setObjectName(QStringLiteral("exportPdfAction"));
    journalMenu->addSeparator();
    quitAction = journalMenu->addAction(QString());
    quitAction->setObjectName(QStringLiteral("quitAction"));
    editMenu = menuBar()->addMenu(QString());
    copyAction = editMenu->addAction(QString());
    copyAction->setObjectName(QStringLiteral("copyAction"));
    ackAction = editMenu->addAction(QString());
    ackAction->setObjectName(QStringLiteral("ackAction"));
    languageMenu = menuBar()->addMenu(QString());

    liveLabel = new QLabel(this);
    liveLabel->setObjectName(QStringLiteral("liveLabel"));
    counterLabel = new QLabel(this);
    counterLabel->setObjectName(QStringLiteral("counterLabel"));
    statusBar()->addWidget(liveLabel, 1);
    statusBar()->addPermanentWidget(counterLabel);

    filterTimer = new QTimer(this);
    filterTimer->setSingleShot(true);
    filterTimer->setInterval(FilterDelayMs);
    connect(filterTimer, &QTimer::timeout, this, &JournalWindow::applyFilter);
    blinkTimer = new QTimer(this);
    blinkTimer->setInterval(BlinkMs);
    connect(blinkTimer, &QTimer::timeout, this, &JournalWindow::blinkLamps);
    blinkTimer->start();

    connect(rangeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &JournalWindow::filterEdited);
    connect(fromEdit, &QDateTimeEdit::dateTimeChanged, this, &JournalWindow::filterEdited);
    connect(toEdit, &QDateTimeEdit::dateTimeChanged, this, &JournalWindow::filterEdited);
    connect(installationEdit, &QLineEdit::textChanged, this, &JournalWindow::filterEdited);
    connect(nodeSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &JournalWindow::filterEdited);
    connect(channelSpin, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &JournalWindow::filterEdited);
    connect(kindCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &JournalWindow::filterEdited);
    connect(alarmsOnlyCheck, &QCheckBox::toggled, this, &JournalWindow::filterEdited);
    connect(unackedOnlyCheck, &QCheckBox::toggled, this, &JournalWindow::filterEdited);
    connect(searchEdit, &QLineEdit::textChanged, this, &JournalWindow::filterEdited);

    connect(ackButton, &QPushButton::clicked, this, &JournalWindow::acknowledgeSelected);
    connect(ackAction, &QAction::triggered, this, &JournalWindow::acknowledgeSelected);
    connect(copyAction, &QAction::triggered, this, &JournalWindow::copySelection);
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    connect(exportCsvAction, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(),
                                                          tr("CSV files (*.csv)"));
        if (!path.isEmpty())
            exportCsv(path);
    });
    connect(exportPdfAction, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Export PDF"), QString(),
                                                          tr("PDF files (*.pdf)"));
        if (!path.isEmpty())
            exportPdf(path);
    });
    connect(printAction, &QAction::triggered, this, &JournalWindow::printDialog);
    connect(eventTable, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid() && index.row() < events->rowCount())
            showTrendOf(events->eventAt(index.row()));
    });
    connect(tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        // The recorder meets new measurements while the window is open.
        if (tab == TrendsTab)
            journal->readSeries();
    });
    connect(trendCsvButton, &QPushButton::clicked, this, [this] {
        QString path = QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(),
                                                    tr("CSV files (*.csv)"));
        if (path.isEmpty())
            return;
        if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
            path += QLatin1String(".csv");
        QString error;
        if (!plot->exportCsv(path, &error))
            showMessage(QMessageBox::Warning, tr("Export CSV"),
                        tr("Cannot write %1: %2").arg(path, error));
    });
    connect(trendPngButton, &QPushButton::clicked, this, [this] {
        QString path = QFileDialog::getSaveFileName(this, tr("Export PNG"), QString(),
                                                    tr("PNG images (*.png)"));
        if (path.isEmpty())
            return;
        if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
            path += QLatin1String(".png");
        QString error;
        if (!plot->exportPng(path, &error))
            showMessage(QMessageBox::Warning, tr("Export PNG"),
                        tr("Cannot write %1: %2").arg(path, error));
    });
    connect(trendCopyButton, &QPushButton::clicked, plot, &TrendPlot::copyToClipboard);
    copyAction->setShortcut(QKeySequence::Copy);
    quitAction->setShortcut(QKeySequence::Quit);
}

void JournalWindow::retranslateUi()
{
    setWindowTitle(tr("Orvo Journal View - %1").arg(journal->location().display()));
    tabs->setTabText(SummaryTab, tr("Alarm summary"));
    tabs->setTabText(HistoryTab, tr("Event history"));
    tabs->setTabText(TrendsTab, tr("Trends"));
    trendHint->setText(tr("Check measurements to show them. Drag to zoom, right click to zoom "
                          "out, wheel to zoom, middle button to pan. A double click on an "
                          "event in the history shows its measurement here."));
    trendHint->setWordWrap(true);
    trendCsvButton->setText(tr("Export CSV..."));
    trendPngButton->setText(tr("Export PNG..."));
    trendCopyButton->setText(tr("Copy"));
    measurements->retranslate();
    measurementTree->expandAll();
    plot->setTrends(plot->trends(), trendTitles(plot->trends()), plot->dataFromMs(),
                    plot->dataToMs());
    ackButton->setText(tr("Acknowledge..."));
    rangeLabel->setText(tr("Time:"));
    const char *const rangeTexts[] = {QT_TR_NOOP("All"),           QT_TR_NOOP("Last hour"),
                                      QT_TR_NOOP("Last 24 hours"), QT_TR_NOOP("Last 7 days"),
                                      QT_TR_NOOP("Last 30 days"),  QT_TR_NOOP("From - to")};
    for (int i = 0; i < rangeCombo->count(); ++i)
        rangeCombo->setItemText(i, tr(rangeTexts[i]));
    fromLabel->setText(tr("From:"));
    toLabel->setText(tr("To:"));
    installationLabel->setText(tr("Installation:"));
    nodeLabel->setText(tr("Node:"));
    nodeSpin->setSpecialValueText(tr("all"));
    channelLabel->setText(tr("Channel:"));
    channelSpin->setSpecialValueText(tr("all"));
    kindLabel->setText(tr("Kind:"));
    kindCombo->setItemText(0, tr("all"));
    alarmsOnlyCheck->setText(tr("Alarms only"));
    unackedOnlyCheck->setText(tr("Unacknowledged only"));
    searchEdit->setPlaceholderText(tr("Search the texts"));
    journalMenu->setTitle(tr("&Journal"));
    exportCsvAction->setText(tr("Export CSV..."));
    printAction->setText(tr("Print..."));
    exportPdfAction->setText(tr("Export PDF..."));
    quitAction->setText(tr("&Quit"));
    editMenu->setTitle(tr("&Edit"));
    copyAction->setText(tr("&Copy"));
    ackAction->setText(tr("Acknowledge..."));
    languageMenu->setTitle(tr("&Language"));
    showLive(journal->isLive(), journal->lastError());
    updateCounter();
}

void JournalWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
}

void JournalWindow::closeEvent(QCloseEvent *event)
{
    JournalViewSettings::setGeometry(saveGeometry());
    JournalViewSettings::setWindowState(saveState());
    JournalViewSettings::setFilter(historyFilter());
    JournalViewSettings::setTrendMeasurements(measurements->chosen());
    JournalViewSettings::setJournal(journal->location().display());
    WindowShell::storeLanguage();
    QMainWindow::closeEvent(event);
}

void JournalWindow::showLive(bool live, const QString &reason)
{
    if (live) {
        liveLabel->setText(tr("Live: %1").arg(journal->location().display()));
        if (failureBox)
            failureBox->close();
        failureShown = false;
    } else if (reason.isEmpty()) {
        liveLabel->setText(tr("Opening %1...").arg(journal->location().display()));
    } else {
        liveLabel->setText(
            tr("Not live, what is shown may be old; reconnecting every 5 s: %1").arg(reason));
        // One message per outage, not one per attempt to reconnect.
        if (!failureShown) {
            failureShown = true;
            showMessage(
                QMessageBox::Warning, tr("Journal"),
                tr("Cannot read the journal %1: %2").arg(journal->location().display(), reason));
            failureBox = findChildren<QMessageBox *>().value(0);
        }
    }
    // Queries of a journal that is not live would only fail, once a second.
    plot->setFollowing(live);
    // A journal back after an outage may hold rows written meanwhile.
    if (live && !wasLive && events->rowCount() > 0)
        applyFilter();
    wasLive = live;
}

void JournalWindow::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    // Not modal: the window keeps following the journal while the message is read.
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void JournalWindow::showAlarms()
{
    updateCounter();
}

void JournalWindow::updateCounter()
{
    counterLabel->setText(tr("Alarms: %1 active, %2 unacknowledged")
                              .arg(alarms->activeCount())
                              .arg(alarms->unacknowledgedCount()));
}

void JournalWindow::blinkLamps()
{
    lampDelegate->setBlinkPhase(!lampDelegate->blinkPhase());
    // Only the lamps' column is painted again, and only while a lamp blinks.
    for (int row = 0; row < alarms->rowCount(); ++row) {
        if (alarms->index(row, 0).data(AlarmModel::BlinkRole).toBool()) {
            const int x = alarmTable->columnViewportPosition(AlarmModel::LampColumn);
            alarmTable->viewport()->update(QRect(x, 0,
                                                 alarmTable->columnWidth(AlarmModel::LampColumn),
                                                 alarmTable->viewport()->height()));
            return;
        }
    }
}

HistoryFilter JournalWindow::historyFilter() const
{
    HistoryFilter f;
    f.range = HistoryFilter::Range(rangeCombo->currentData().toInt());
    f.fromMs = fromEdit->dateTime().toMSecsSinceEpoch();
    f.toMs = toEdit->dateTime().toMSecsSinceEpoch();
    f.installation = installationEdit->text();
    f.node = nodeSpin->value();
    f.channel = channelSpin->value();
    if (kindCombo->currentData().toInt() >= 0)
        f.kinds << Journal::Kind(kindCombo->currentData().toInt());
    f.alarmsOnly = alarmsOnlyCheck->isChecked();
    f.unackedOnly = unackedOnlyCheck->isChecked();
    f.text = searchEdit->text();
    return f;
}

void JournalWindow::setHistoryFilter(const HistoryFilter &f)
{
    const QSignalBlocker blockers[] = {
        QSignalBlocker(rangeCombo),       QSignalBlocker(fromEdit),
        QSignalBlocker(toEdit),           QSignalBlocker(installationEdit),
        QSignalBlocker(nodeSpin),         QSignalBlocker(channelSpin),
        QSignalBlocker(kindCombo),        QSignalBlocker(alarmsOnlyCheck),
        QSignalBlocker(unackedOnlyCheck), QSignalBlocker(searchEdit)};
    Q_UNUSED(blockers)
    rangeCombo->setCurrentIndex(rangeCombo->findData(int(f.range)));
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    fromEdit->setDateTime(QDateTime::fromMSecsSinceEpoch(f.fromMs ? f.fromMs : now - 86400000));
    toEdit->setDateTime(QDateTime::fromMSecsSinceEpoch(f.toMs ? f.toMs : now));
    installationEdit->setText(f.installation);
    nodeSpin->setValue(f.node);
    channelSpin->setValue(f.channel);
    kindCombo->setCurrentIndex(
        f.kinds.isEmpty() ? 0 : qMax(0, kindCombo->findData(int(f.kinds.first()))));
    alarmsOnlyCheck->setChecked(f.alarmsOnly);
    unackedOnlyCheck->setChecked(f.unackedOnly);
    searchEdit->setText(f.text);
    const bool custom = f.range == HistoryFilter::Range::Custom;
    fromEdit->setEnabled(custom);
    toEdit->setEnabled(custom);
    applyFilter();
}

void JournalWindow::filterEdited()
{
    const bool custom = rangeCombo->currentData().toInt() == int(HistoryFilter::Range::Custom);
    fromEdit->setEnabled(custom);
    toEdit->setEnabled(custom);
    // Typing a search runs one query when the typing pauses, not one per key.
    filterTimer->start();
}

void JournalWindow::applyFilter()
{
    filterTimer->stop();
    events->setFilter(historyFilter().toEventFilter(QDateTime::currentMSecsSinceEpoch()));
}

void JournalWindow::exportCsv(const QString &path)
{
    // The CSV holds the rows in the order orvo-journal-tool writes them, oldest first.
    EventFilter f = events->filter();
    f.limit = 0;
    journal->exportCsv(f, path);
}

void JournalWindow::exportPdf(const QString &path)
{
    reportPath = path;
    ++reportRequest;
    journal->fetchAll(reportRequest, events->filter(), ReportRowLimit);
}

void JournalWindow::printDialog()
{
    reportPath.clear();
    ++reportRequest;
    journal->fetchAll(reportRequest, events->filter(), ReportRowLimit);
}

void JournalWindow::copySelection()
{
    if (tabs->currentIndex() == TrendsTab) {
        plot->copyToClipboard();
        return;
    }
    const QModelIndexList selected = eventTable->selectionModel()->selectedIndexes();
    if (tabs->currentIndex() != HistoryTab || selected.isEmpty())
        return;
    QApplication::clipboard()->setText(events->tabSeparated(selected));
}

void JournalWindow::acknowledgeSelected()
{
    QVector<qint64> ids;
    for (const QModelIndex &index : alarmTable->selectionModel()->selectedRows()) {
        const SummaryAlarm &s = alarms->alarmAt(index.row());
        if (s.alarm.event.ackedBy.isEmpty())
            ids << s.alarm.event.id;
    }
    if (ids.isEmpty()) {
        showMessage(QMessageBox::Information, tr("Acknowledge"),
                    tr("Select the alarms not yet acknowledged first."));
        return;
    }
    if (ackPending)
        return;
    QString comment;
    if (!commentPrompt(this, &comment))
        return;
    ackPending = true;
    journal->acknowledge(ids, comment.trimmed());
}

void JournalWindow::showTrendOf(const JournalEvent &event)
{
    TrendKey key{event.installation, event.node, event.channel, event.slot};
    if (!key.isValid()) {
        statusBar()->showMessage(
            tr("Event %1 belongs to no measurement: no trend to show").arg(event.id), 5000);
        return;
    }
    // Only this measurement: the trend asked for is the one seen.
    measurements->setChosen({key});
    tabs->setCurrentIndex(TrendsTab);
    plot->setRange(event.timeMs - TrendAroundEventMs, event.timeMs + TrendAroundEventMs);
    const QModelIndex index = measurements->indexOf(key);
    if (index.isValid())
        measurementTree->setCurrentIndex(index);
}

void JournalWindow::requestTrend()
{
    const QVector<TrendSeries> list = measurements->shown();
    ++trendRequest;
    trendFromMs = plot->fromMs();
    trendToMs = plot->toMs();
    if (list.isEmpty()) {
        plot->setTrends({}, {}, trendFromMs, trendToMs);
        emit trendShown();
        return;
    }
    QVector<TrendKey> keys;
    for (const TrendSeries &s : list)
        keys << s.key;
    journal->readTrend(trendRequest, keys, trendFromMs, trendToMs, plot->pointsWanted());
}

void JournalWindow::showTrend(quint64 request, const QVector<TrendData> &trends)
{
    // A zoom or pan made while this was read has asked again; only its answer is drawn.
    if (request != trendRequest)
        return;
    plot->setTrends(trends, trendTitles(trends), trendFromMs, trendToMs);
    emit trendShown();
}

QVector<QString> JournalWindow::trendTitles(const QVector<TrendData> &trends) const
{
    QVector<QString> titles;
    for (const TrendData &d : trends) {
        TrendSeries s;
        s.key = d.key;
        s.measType = d.measType;
        titles << MeasurementModel::title(s);
    }
    return titles;
}
