#include "modbusserver.h"

#include <modbus/modbus.h>

#include <algorithm>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

ModbusServer::ModbusServer(Handler handler, Tick tick, Tick restarted)
    : handler(std::move(handler))
    , tick(std::move(tick))
    , restarted(std::move(restarted))
{}

ModbusServer::~ModbusServer()
{
    stop();
}

bool ModbusServer::start(const QString &address, quint16 port)
{
    stop();
    std::lock_guard<std::mutex> lock(m);
    listenAddress = address;
    listenPort = port;
    error.clear();
    accepted = 0;
    restarting = false;
    if (!listen())
        return false;
    stopping = false;
    running = true;
    thread = std::thread([this] { run(); });
    return true;
}

void ModbusServer::stop()
{
    {
        std::lock_guard<std::mutex> lock(m);
        if (!running)
            return;
        stopping = true;
        cv.notify_all();
    }
    thread.join();
    std::lock_guard<std::mutex> lock(m);
    running = false;
}

bool ModbusServer::isRunning() const
{
    return locked([this] { return running; });
}

quint16 ModbusServer::port() const
{
    return locked([this] { return listenPort; });
}

QString ModbusServer::address() const
{
    return locked([this] { return listenAddress; });
}

QString ModbusServer::errorString() const
{
    return locked([this] { return error; });
}

int ModbusServer::clientCount() const
{
    return locked([this] { return int(clients.size()); });
}

int ModbusServer::acceptedCount() const
{
    return locked([this] { return accepted; });
}

void ModbusServer::dropConnections()
{
    std::unique_lock<std::mutex> lock(m);
    if (!running)
        return;
    dropRequested = true;
    cv.wait_for(lock, std::chrono::seconds(2), [this] { return !dropRequested; });
}

// ---- server thread, all with m held unless said otherwise -------------------------------------

bool ModbusServer::listen()
{
    const QByteArray node = listenAddress.toLocal8Bit();
    const QByteArray service = QByteArray::number(listenPort);
    ctx = modbus_new_tcp_pi(node.constData(), service.constData());
    if (!ctx) {
        error = QStringLiteral("cannot create a Modbus context for %1").arg(listenAddress);
        return false;
    }
    listenFd = modbus_tcp_pi_listen(ctx, 8);
    if (listenFd < 0) {
        error = QStringLiteral("cannot listen on %1 port %2: %3")
                    .arg(listenAddress)
                    .arg(listenPort)
                    .arg(QString::fromLocal8Bit(modbus_strerror(errno)));
        modbus_free(ctx);
        ctx = nullptr;
        return false;
    }
    sockaddr_storage sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(listenFd, reinterpret_cast<sockaddr *>(&sa), &len) == 0) {
        if (sa.ss_family == AF_INET)
            listenPort = ntohs(reinterpret_cast<sockaddr_in *>(&sa)->sin_port);
        else if (sa.ss_family == AF_INET6)
            listenPort = ntohs(reinterpret_cast<sockaddr_in6 *>(&sa)->sin6_port);
    }
    return true;
}

void ModbusServer::closeListener()
{
    if (listenFd >= 0)
        ::close(listenFd);
    listenFd = -1;
    if (ctx)
        modbus_free(ctx);
    ctx = nullptr;
}

void ModbusServer::closeClients()
{
    for (int fd : clients)
        ::close(fd);
    clients.clear();
}

bool ModbusServer::sleepFor(int ms)
{
    if (ms <= 0)
        return !stopping;
    std::unique_lock<std::mutex> lock(m);
    cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping.load(); });
    return !stopping;
}

void ModbusServer::run()
{
    quint8 request[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!stopping) {
        tick();
        bool back = false;
        {
            std::lock_guard<std::mutex> lock(m);
            if (dropRequested) {
                closeClients();
                dropRequested = false;
                cv.notify_all();
            }
            // Back on the same port; it was bound a moment ago, so this rarely fails, and if it
            // does the next turn tries again.
            if (restarting && Clock::now() >= restartEnd && listen()) {
                restarting = false;
                back = true;
            }
        }
        if (back)
            restarted();

        fd_set rd;
        FD_ZERO(&rd);
        int maxFd = -1;
        {
            std::lock_guard<std::mutex> lock(m);
            if (listenFd >= 0) {
                FD_SET(listenFd, &rd);
                maxFd = listenFd;
            }
            for (int fd : clients) {
                FD_SET(fd, &rd);
                maxFd = std::max(maxFd, fd);
            }
        }
        timeval tv{0, 10000};
        if (::select(maxFd + 1, &rd, nullptr, nullptr, &tv) <= 0)
            continue;

        std::vector<int> ready;
        {
            std::lock_guard<std::mutex> lock(m);
            if (listenFd >= 0 && FD_ISSET(listenFd, &rd)) {
                int lfd = listenFd;
                const int fd = modbus_tcp_pi_accept(ctx, &lfd);
                if (fd >= 0) {
                    clients.push_back(fd);
                    ++accepted;
                }
            }
            ready = clients;
        }
        for (int fd : ready) {
            if (!FD_ISSET(fd, &rd) || stopping)
                continue;
            {
                std::lock_guard<std::mutex> lock(m);
                if (!ctx)
                    break; // restarting: the connections are gone already
                modbus_set_socket(ctx, fd);
            }
            const int len = modbus_receive(ctx, request);
            const bool keep = len > 0 && serve(fd, request, len);
            std::lock_guard<std::mutex> lock(m);
            auto it = std::find(clients.begin(), clients.end(), fd);
            if (!keep && it != clients.end()) {
                ::close(fd);
                clients.erase(it);
            }
        }
    }
    std::lock_guard<std::mutex> lock(m);
    closeClients();
    closeListener();
}

bool ModbusServer::serve(int fd, const quint8 *request, int length)
{
    const Reply reply = handler(request, length);
    if (reply.close || !sleepFor(reply.delayMs))
        return false;
    int sent = 0;
    while (sent < reply.adu.size()) {
        const ssize_t w =
            ::send(fd, reply.adu.constData() + sent, size_t(reply.adu.size() - sent), MSG_NOSIGNAL);
        if (w <= 0)
            return false;
        sent += int(w);
    }
    if (reply.restartMs >= 0) {
        // The module reboots: every connection goes, and nobody is accepted for a while.
        std::lock_guard<std::mutex> lock(m);
        closeClients();
        closeListener();
        restarting = true;
        restartEnd = Clock::now() + std::chrono::milliseconds(reply.restartMs);
    }
    return true; // after a restart fd is closed and gone from the list already
}
