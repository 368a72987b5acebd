#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct _modbus;

// A Modbus TCP server loop on its own thread: listens, accepts any number of clients, receives
// one request at a time and hands it to the handler, sends the answer, and takes a restart
// (every connection closed, the port closed for a while, then listening again). The handler and
// the tick run on the server thread, never under the server's own lock.
class ModbusServer
{
public:
    struct Reply
    {
        QByteArray adu;     // sent unless empty
        bool close = false; // close the connection instead of answering
        int delayMs = 0;    // wait this long before answering
        int restartMs = -1; // after answering, restart and stay unreachable this long
    };
    using Handler = std::function<Reply(const quint8 *adu, int length)>;
    using Tick = std::function<void()>;

    // handler answers requests; tick runs on every turn of the loop (about every 10 ms);
    // restarted runs once the server listens again after a restart.
    ModbusServer(Handler handler, Tick tick, Tick restarted);
    ~ModbusServer(); // stops
    ModbusServer(const ModbusServer &) = delete;
    ModbusServer &operator=(const ModbusServer &) = delete;

    // Listens on address:port (port 0 picks a free one) and starts the thread; false with
    // errorString() when the address cannot be bound.
    bool start(const QString &address, quint16 port);
    void stop(); // closes every connection and the listening socket, joins the thread
    bool isRunning() const;
    quint16 port() const;
    QString address() const;
    QString errorString() const;

    int clientCount() const;
    int acceptedCount() const; // since start()
    // Closes every client connection at once; the server keeps listening.
    void dropConnections();

private:
    using Clock = std::chrono::steady_clock;

    template <typename F> auto locked(F f) const
    {
        std::lock_guard<std::mutex> lock(m);
        return f();
    }
    bool listen();
    void closeListener();
    void closeClients();
    void run();
    // Serves one received request on fd; false when the connection is to be closed.
    bool serve(int fd, const quint8 *request, int length);
    // Waits ms unless the server stops first; false when it stops.
    bool sleepFor(int ms);

    const Handler handler;
    const Tick tick;
    const Tick restarted;

    mutable std::mutex m;
    std::condition_variable cv;
    std::thread thread;
    std::atomic<bool> stopping{false};
    bool running = false;
    QString listenAddress;
    quint16 listenPort = 0;
    QString error;
    _modbus *ctx = nullptr;
    int listenFd = -1;
    std::vector<int> clients;
    int accepted = 0;
    bool dropRequested = false;
    bool restarting = false;
    Clock::time_point restartEnd;
};
