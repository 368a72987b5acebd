#pragma once

#include "historyfilter.h"
#include "journallocation.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <functional>

class AlarmModel;
class EventModel;
class JournalController;
class LedIndicator;
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

    explicit JournalWindow(const JournalLocation &location, QWidget *parent = nullptr);
    ~JournalWindow() override;

    JournalController *controller() const { return journal; }
    AlarmModel *alarmModel() const { return alarms; }
    EventModel *eventModel() const { return events; }
    void setCommentPrompt(CommentPrompt prompt) { commentPrompt = std::move(prompt); }
    HistoryFilter historyFilter() const;
    void setHistoryFilter(const HistoryFilter &filter);

    // The filtered rows of the history, as the menu's actions write them.
    void exportCsv(const QString &path);
    void exportPdf(const QString &path);
    void copySelection();
    void acknowledgeSelected();

signals:
    // The end of a report or an export, for whoever waits on it.
    void reportWritten(bool ok, const QString &path);

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildForm();
    void retranslateUi();
    void showLive(bool live, const QString &reason);
    void showAlarms();
    void updateCounter();
    void placeLamps();
    void blinkLamps();
    void applyFilter();
    void filterEdited();
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);
    void printReport(QPrinter *printer, const QString &path);
    void printDialog();

    JournalController *journal = nullptr;
    AlarmModel *alarms = nullptr;
    EventModel *events = nullptr;
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
    QVector<QPointer<LedIndicator>> lamps; // per alarm row
    QPointer<QMessageBox> failureBox;
    bool wasLive = false;
    bool failureShown = false;
    bool ackPending = false;
    quint64 reportRequest = 0;
    QString reportPath;
};
