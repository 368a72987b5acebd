#pragma once

#include "nodestatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSharedPointer>
#include <QTimer>
#include <QVBoxLayout>

QT_BEGIN_NAMESPACE
class QLabel;
class QUdpSocket;
QT_END_NAMESPACE

class ChannelStateView;
class JournalRecorder;
class RelayStateView;
struct t_orvo_settings;

namespace Ui {
class MainWindow;
}

// The viewer's only window: listens for node status datagrams on UDP port 49153 (or the one
// given) and shows one
// panel stack per reporting node, in ascending node id order, in a scrolling area.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int NodeCount = 32;
    static constexpr quint16 ListenPort = 49153;
    static constexpr int SilenceMs = 1000;

    explicit MainWindow(QWidget *parent = nullptr, quint16 listenPort = ListenPort);
    ~MainWindow() override;

    // Read-only view of the node table for tests and diagnostics; slot = node id - 1.
    bool isPresent(int slot) const;
    bool isSilenceTimerActive(int slot) const;
    // Tests shorten how long a node may stay silent so they need not wait out real seconds; the
    // program always keeps SilenceMs.
    void setSilenceForTest(int ms) { silenceMs = ms; }
    int silenceSpan() const { return silenceMs; }
    quint32 refreshCounter(int slot) const;
    // How long ago the node last counted as heard (its silence span runs from there), in ms.
    qint64 quietFor(int slot) const;
    const t_orvo_settings &nodeRecord(int slot) const;
    // The slot's panels of the current build (also the hidden ones), or null without a build.
    ChannelStateView *channelView(int slot) const;
    RelayStateView *relayView(int slot) const;
    bool isListening() const;
    // Why the port could not be bound, as the status bar says it; empty while listening.
    QString listenError() const;
    // Every accepted datagram, not only the ones the panels show, goes to the recorder; null
    // (the default) records nothing. The recorder must outlive the window.
    void setJournalRecorder(JournalRecorder *recorder);
    // Why the journal is not recording, as the status bar says it; empty while it records.
    QString journalError() const;

private slots:
    void readPendingDatagrams();
    // A node fell silent. The name is part of the window's interface and is kept although it
    // hides QWidget::update(): code in this class that wants a repaint calls QWidget::update().
    void update();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The panel benchmark times rebuilds and pushes of a full installation directly.
    friend class PanelBench;

    struct NodeEntry
    {
        bool present = false;
        QTimer silenceTimer;
        quint32 refreshCounter = 0;
        qint64 heardAt = 0; // clock time of the last datagram or rebuild that kept it present
    };

    void restoreWindowState();
    void keepInView();
    // A rebuild after a silence must not count as hearing from the nodes that remain: when a
    // whole installation goes quiet at once, each silence would keep the others on screen for
    // another span.
    enum class Heard { Now, NotNow };
    void refreshNode(int slot, Heard heard = Heard::Now);
    void rebuildPanels(Heard heard = Heard::Now);
    void showSilenceNotice();
    void retranslateSilenceNotice();
    void retranslateJournalError();
    void buildPanels();
    void pushState(int slot);
    void forgetPanel(const QWidget *panel);
    void retranslateListenError();

    // The form's connection actions are translated but placed nowhere, so neither they nor
    // their shortcuts can be triggered in this window. Its scroll area always shows the
    // vertical bar, so the panels do not jump sideways when the stack outgrows the window.
    Ui::MainWindow *ui = nullptr;
    NodeStatus nodeStatus[NodeCount] = {};
    NodeEntry nodes[NodeCount];
    QSharedPointer<t_orvo_settings> nodeSettings[NodeCount];
    ChannelStateView *channelViews[NodeCount] = {};
    RelayStateView *relayViews[NodeCount] = {};
    QVBoxLayout nodesLayout;
    const quint16 listenPort;
    QUdpSocket *udpSocket = nullptr;
    QByteArray datagram;
    QElapsedTimer clock;
    int silenceMs = SilenceMs;
    // Shown in the status bar only when the port could not be bound.
    QLabel *listenErrorLabel = nullptr;
    // Shown once nodes had reported and none is present any more, until the next datagram, so
    // a lost installation does not look like a quiet start.
    QLabel *silenceLabel = nullptr;
    qint64 lastAcceptedAt = 0; // clock time of the last accepted datagram
    QDateTime lastAccepted;    // its wall time, fixed when the notice appears
    JournalRecorder *journalRecorder = nullptr;
    QLabel *journalErrorLabel = nullptr;
    QString journalProblem; // why the journal is not recording, as the journal said it
    // Within one drain of the socket the panel widgets are built once, when a push needs them
    // or when the drain ends, however many rebuilds the datagrams asked for.
    bool holdPanelBuild = false;
    bool panelsOutdated = false;
};
