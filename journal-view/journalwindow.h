#pragma once

#include "historyfilter.h"
#include "journallocation.h"
#include "journalviewtypes.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <functional>

class AlarmModel;
class EventModel;
class JournalController;
class AlarmLampDelegate;
class MeasurementModel;
class TrendPlot;
QT_BEGIN_NAMESPACE
class QAction;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTimer;
class QTreeView;
QT_END_NAMESPACE

// The journal window: the alarm summary, the event history with its filters and exports.
// It presents what its controller reads; nothing here touches the database.
class JournalWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Asks for the comment of an acknowledgement; false when the user cancels.
    using CommentPrompt = std::function<bool(QWidget *parent, QString *comment)>;
    static constexpr int BlinkMs = 400;
    static constexpr int FilterDelayMs = 150;
    enum Tab { SummaryTab, HistoryTab, TrendsTab };

    explicit JournalWindow(const JournalLocation &location, QWidget *parent = nullptr,
                           const JournalTiming &timing = JournalTiming());
    ~JournalWindow() override;

    JournalController *controller() const { return journal; }
    AlarmModel *alarmModel() const { return alarms; }
    EventModel *eventModel() const { return events; }
    MeasurementModel *measurementModel() const { return measurements; }
    TrendPlot *trendPlot() const { return plot; }
    void setCommentPrompt(CommentPrompt prompt) { commentPrompt = std::move(prompt); }
    HistoryFilter historyFilter() const;
    void setHistoryFilter(const HistoryFilter &filter);

    // The filtered rows of the history, as the menu's actions write them.
    void exportCsv(const QString &path);
    void exportPdf(const QString &path);
    void copySelection();
    void acknowledgeSelected();
    // What a double click on an event of the history does: the trends tab with the event's
    // measurement around the event's time.
    void showTrendOf(const JournalEvent &event);
    static constexpr qint64 TrendAroundEventMs = 3600 * 1000;

signals:
    // The end of a report or an export, for whoever waits on it.
    void reportWritten(bool ok, const QString &path);
    // The trends tab shows the points of its latest request.
    void trendShown();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildForm();
    void retranslateUi();
    void showLive(bool live, const QString &reason);
    void showAlarms();
    void updateCounter();
    void blinkLamps();
    void applyFilter();
    void filterEdited();
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);
    void printReport(QPrinter *printer, const QString &path);
    void printDialog();
    void requestTrend();
    void showTrend(quint64 request, const QVector<TrendData> &trends);
    QVector<QString> trendTitles(const QVector<TrendData> &trends) const;

    JournalController *journal = nullptr;
    AlarmModel *alarms = nullptr;
    EventModel *events = nullptr;
    MeasurementModel *measurements = nullptr;
    CommentPrompt commentPrompt;

    QTabWidget *tabs = nullptr;
    QTableView *alarmTable = nullptr;
    QPushButton *ackButton = nullptr;
    QTableView *eventTable = nullptr;
    QLabel *rangeLabel = nullptr;
    QComboBox *rangeCombo = nullptr;
    QLabel *fromLabel = nullptr;
    QDateTimeEdit *fromEdit = nullptr;
    QLabel *toLabel = nullptr;
    QDateTimeEdit *toEdit = nullptr;
    QLabel *installationLabel = nullptr;
    QLineEdit *installationEdit = nullptr;
    QLabel *nodeLabel = nullptr;
    QSpinBox *nodeSpin = nullptr;
    QLabel *channelLabel = nullptr;
    QSpinBox *channelSpin = nullptr;
    QLabel *kindLabel = nullptr;
    QComboBox *kindCombo = nullptr;
    QCheckBox *alarmsOnlyCheck = nullptr;
    QCheckBox *unackedOnlyCheck = nullptr;
    QLineEdit *searchEdit = nullptr;
    QTreeView *measurementTree = nullptr;
    TrendPlot *plot = nullptr;
    QPushButton *trendCsvButton = nullptr;
    QPushButton *trendPngButton = nullptr;
    QPushButton *trendCopyButton = nullptr;
    QLabel *trendHint = nullptr;
    QLabel *liveLabel = nullptr;
    QLabel *counterLabel = nullptr;
    QMenu *journalMenu = nullptr;
    QMenu *editMenu = nullptr;
    QMenu *languageMenu = nullptr;
    QAction *exportCsvAction = nullptr;
    QAction *printAction = nullptr;
    QAction *exportPdfAction = nullptr;
    QAction *quitAction = nullptr;
    QAction *copyAction = nullptr;
    QAction *ackAction = nullptr;
    QTimer *filterTimer = nullptr;
    QTimer *blinkTimer = nullptr;
    AlarmLampDelegate *lampDelegate = nullptr;
    QPointer<QMessageBox> failureBox;
    bool wasLive = false;
    bool failureShown = false;
    bool ackPending = false;
    quint64 reportRequest = 0;
    quint64 trendRequest = 0; // answers to older requests are dropped
    qint64 trendFromMs = 0;   // the range of that request
    qint64 trendToMs = 0;
    QString reportPath;
};
