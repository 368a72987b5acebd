#include "modulesimulator.h"

#include "t_orvo_settings.h"
#include "vibrationsignal.h"

#include <modbus/modbus.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int MaxLog = 100000;
constexpr int WindowPoints = 60;
constexpr quint32 CommitWord1 = 0x4B515A54;
constexpr quint32 CommitWord2 = 0x52E7139C;

// Protocol address of a register number.
constexpr uint pa(uint reg)
{
    return reg - 1;
}

quint16 get16(const uint8_t *p)
{
    return quint16((p[0] << 8) | p[1]);
}

void put16(std::vector<uint8_t> &out, quint16 v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v & 0xFF));
}

bool overlaps(uint first, uint count, uint rangeFirst, uint rangeCount)
{
    return count > 0 && rangeCount > 0 && first < rangeFirst + rangeCount &&
           rangeFirst < first + count;
}

// Fills the request fields of a log entry for a request that is not carried out.
void describe(ModuleSimulator::Transaction &t, const uint8_t *pdu, int len)
{
    if (len >= 5 && (pdu[0] == 3 || pdu[0] == 4)) {
        t.address = t.readAddress = get16(pdu + 1);
        t.readCount = get16(pdu + 3);
    } else if (len >= 5 && (pdu[0] == 6 || pdu[0] == 16)) {
        t.address = t.writeAddress = get16(pdu + 1);
        t.writeCount = pdu[0] == 6 ? 1 : get16(pdu + 3);
    } else if (len >= 9 && pdu[0] == 23) {
        t.readAddress = get16(pdu + 1);
        t.readCount = get16(pdu + 3);
        t.address = t.writeAddress = get16(pdu + 5);
        t.writeCount = get16(pdu + 7);
    }
}

QByteArray signatureOf(const quint16 *regs)
{
    QByteArray text;
    for (int i = 0; i < 4; ++i) {
        text.append(char(regs[i] & 0xFF));
        text.append(char(regs[i] >> 8));
    }
    return text;
}

} // namespace

struct ModuleSimulator::Private
{
    mutable std::mutex m;
    std::condition_variable cv;

    // Register space, indexed by protocol address.
    std::vector<quint16> regs = std::vector<quint16>(0x10000, 0);
    Kind kind = Kind::Icp;

    quint32 wfPoints[4] = {};
    quint32 spPoints[4] = {};
    bool headerOverride = false;
    quint32 headerOverrideCount = 0;

    bool moving = false;
    int movePeriodMs = 250;
    Clock::time_point nextMove = Clock::now();
    quint32 movePhase = 0;

    int captureDelayMs = 20;
    bool autoReady = true;
    bool wfPending = false;
    bool spPending = false;
    Clock::time_point wfDue;
    Clock::time_point spDue;
    int wfTriggers = 0;
    int spTriggers = 0;

    int commitStage = 0;
    int commits = 0;
    quint16 commitStatus = 1;

    int restarts = 0;
    int boots = 0;
    int testModes = 0;
    int restartMs = 500;
    bool restarting = false;
    Clock::time_point restartEnd;

    int dropAfter = -1;
    int wrongEchoGood = -1;
    int windowTransfers = 0;
    int answerDelayMs = 0;
    bool refuseIdent = false;
    std::vector<std::pair<uint, uint>> failRanges;

    std::deque<Transaction> log;

    // Server thread state.
    std::thread thread;
    std::atomic<bool> stopping{false};
    bool running = false;
    QString address;
    quint16 port = 0;
    QString error;
    modbus_t *ctx = nullptr;
    int listenFd = -1;
    std::vector<int> clients;
    int accepted = 0;
    bool dropRequested = false;

    // ---- contents, all with m held ----
    quint16 &reg(uint number) { return regs[pa(number)]; }
    quint16 *regPtr(uint number) { return regs.data() + pa(number); }

    void bumpStatus(int k) { ++reg(StatusRegister + uint(k)); }
    quint16 channelMask() { return reg(SettingsRegister + 112); }

    void writeInfoField(int index, const QByteArray &bytes)
    {
        if (index < 0 || index > 3)
            return;
        uint8_t field[32] = {};
        std::memcpy(field, bytes.constData(), size_t(std::min<int>(bytes.size(), 32)));
        quint16 *p = regPtr(InfoRegister + uint(index) * 16);
        for (int i = 0; i < 16; ++i)
            p[i] = quint16(field[2 * i] | (field[2 * i + 1] << 8));
    }

    void writeMeasurement(int ch, int slot, quint16 type, quint16 flags, float value,
                          quint16 fsValue, quint16 baseline)
    {
        quint16 *e = regPtr(ChannelRegister + ChannelCount * uint(ch) + 8 + 10 * uint(slot));
        quint32 bits;
        std::memcpy(&bits, &value, sizeof bits);
        e[0] = type;
        e[1] = flags;
        e[2] = quint16(bits & 0xFFFF);
        e[3] = quint16(bits >> 16);
        e[4] = fsValue;
        e[5] = baseline;
    }

    void reset(Kind k)
    {
        kind = k;
        std::fill(regs.begin(), regs.end(), 0);
        const char *name = k == Kind::Icp ? "ORVO_ICP" : k == Kind::Prox ? "ORVO_PROX" : "ORVO_REL";
        writeInfoField(0, name);
        writeInfoField(1, "Sim module");
        writeInfoField(2, "1.0");
        writeInfoField(3, "SIM-0001");
        reg(ModeRegister) = WorkMode;

        t_orvo_settings s{};
        s.full_scale = 65535;
        s.node_id = 1;
        if (k == Kind::Relay) {
            for (int r = 0; r < 6; ++r) {
                const QByteArray relayName = "Relay " + QByteArray::number(r + 1);
                std::memcpy(s.relays[r].name, relayName.constData(), size_t(relayName.size()));
                s.relays[r].mode = 3;
            }
            writeRelay(0x3F000005);
        } else {
            s.channel_mask = 0xF;
            static const quint16 types[3] = {1, 2, 5};
            for (int c = 0; c < 4; ++c) {
                for (int m = 0; m < 3; ++m) {
                    s.channels[c].meas[m].type = types[m];
                    writeMeasurement(c, m, types[m], 0x0100, float(1.5 * (m + 1) + c),
                                     quint16(12000 + 1000 * m + 100 * c), 12000);
                }
            }
        }
        std::memcpy(regPtr(SettingsRegister), &s, sizeof s);
        for (int c = 0; c < 4; ++c) {
            wfPoints[c] = k == Kind::Relay ? 0 : 256;
            spPoints[c] = k == Kind::Relay ? 0 : 128;
        }
        moving = k != Kind::Relay;
        nextMove = Clock::now() + std::chrono::milliseconds(movePeriodMs);
        commitStage = 0;
        wfPending = spPending = false;
    }

    void writeRelay(quint32 status)
    {
        reg(RelayRegister) = quint16(status & 0xFFFF);
        reg(RelayRegister + 1) = quint16(status >> 16);
    }

    quint32 relay()
    {
        return quint32(reg(RelayRegister)) | (quint32(reg(RelayRegister + 1)) << 16);
    }

    // Brings values forward and completes captures whose time has come.
    void advance(Clock::time_point now)
    {
        if (moving && now >= nextMove) {
            nextMove = now + std::chrono::milliseconds(movePeriodMs);
            ++movePhase;
            const quint16 mask = channelMask();
            for (int c = 0; c < 4; ++c) {
                if (!(mask & (1u << c)))
                    continue;
                bool changed = false;
                for (int m = 0; m < 8; ++m) {
                    quint16 *e =
                        regPtr(ChannelRegister + ChannelCount * uint(c) + 8 + 10 * uint(m));
                    if (e[0] == 0)
                        continue;
                    const double base = 1.5 * (m + 1) + c;
                    const float value =
                        float(base * (1.0 + 0.1 * std::sin(movePhase * 0.7 + c + m)));
                    quint32 bits;
                    std::memcpy(&bits, &value, sizeof bits);
                    e[2] = quint16(bits & 0xFFFF);
                    e[3] = quint16(bits >> 16);
                    e[4] = quint16(std::min(65535.0, value / (base * 1.2) * 40000.0));
                    changed = true;
                }
                if (changed)
                    bumpStatus(c);
            }
        }
        if (wfPending && now >= wfDue) {
            wfPending = false;
            const quint16 mask = channelMask();
            for (int c = 0; c < 4; ++c) {
                if (mask & (1u << c)) {
                    ++reg(StatusRegister + 4 + uint(c));
                    reg(StatusRegister + 8 + uint(c)) = 1;
                }
            }
        }
        if (spPending && now >= spDue) {
            spPending = false;
            const quint16 mask = channelMask();
            for (int c = 0; c < 4; ++c) {
                if (mask & (1u << c)) {
                    reg(StatusRegister + 16 + uint(c)) = 1;
                    reg(StatusRegister + 24 + uint(c)) = 1;
                }
            }
        }
    }

    quint32 pointCount(bool spectrum, quint16 ch)
    {
        if (headerOverride)
            return headerOverrideCount;
        if (ch > 3)
            return 0;
        return spectrum ? spPoints[ch] : wfPoints[ch];
    }

    // Fills the header and the answer part of a window from its request block.
    void prepareWindow(bool spectrum)
    {
        const uint window = spectrum ? SpectrumWindow : WaveformWindow;
        const uint header = spectrum ? SpectrumHeader : WaveformHeader;
        const quint16 ch = reg(window);
        const quint16 sel = reg(window + 1);
        const quint32 offset = quint32(reg(window + 2)) | (quint32(reg(window + 3)) << 16);
        const quint32 count = pointCount(spectrum, ch);
        quint16 *h = regPtr(header);
        for (uint k = 0; k < 125; ++k)
            h[k] = quint16(0x5A00 + k);
        h[0] = ch;
        h[1] = sel;
        h[2] = quint16(count & 0xFFFF);
        h[3] = quint16(count >> 16);
        quint16 *p = regPtr(window + 4);
        for (quint32 i = 0; i < WindowPoints; ++i) {
            const quint64 index = quint64(offset) + i;
            const quint32 v = index < count ? pointValue(spectrum, ch, sel, quint32(index)) : 0;
            p[2 * i] = quint16(v & 0xFFFF);
            p[2 * i + 1] = quint16(v >> 16);
        }
    }

    void prepareRead(uint addr, uint count)
    {
        if (overlaps(addr, count, pa(WaveformWindow), 0x200))
            prepareWindow(false);
        if (overlaps(addr, count, pa(SpectrumWindow), 0x200))
            prepareWindow(true);
    }

    bool readFails(uint addr, uint count)
    {
        if (refuseIdent && overlaps(addr, count, pa(InfoRegister), 96))
            return true;
        for (const auto &r : failRanges) {
            if (overlaps(addr, count, pa(r.first), r.second))
                return true;
        }
        return false;
    }

    // Reacts to registers a client has just written. Returns true when a restart was asked.
    bool afterWrite(uint addr, uint count)
    {
        bool restart = false;
        if (overlaps(addr, count, pa(TriggerRegister), 1)) {
            const quint16 word = reg(TriggerRegister);
            const auto due = Clock::now() + std::chrono::milliseconds(captureDelayMs);
            if (word == WaveformTrigger) {
                ++wfTriggers;
                for (uint c = 0; c < 4; ++c)
                    reg(StatusRegister + 8 + c) = 0;
                wfPending = autoReady;
                wfDue = due;
            } else if (word == SpectrumTrigger) {
                ++spTriggers;
                for (uint c = 0; c < 4; ++c) {
                    reg(StatusRegister + 16 + c) = 0;
                    reg(StatusRegister + 24 + c) = 0;
                }
                spPending = autoReady;
                spDue = due;
            }
        }
        if (overlaps(addr, count, pa(CommitRegister), 2)) {
            const quint32 word =
                quint32(reg(CommitRegister)) | (quint32(reg(CommitRegister + 1)) << 16);
            if (word == CommitWord1) {
                commitStage = 1;
            } else if (word == CommitWord2 && commitStage == 1) {
                commitStage = 0;
                std::copy_n(regPtr(WriteAreaRegister), OrvoSettings::RegisterCount,
                            regPtr(SettingsRegister));
                reg(CommitStatusRegister) = commitStatus;
                ++commits;
                bumpStatus(28);
            } else {
                commitStage = 0;
            }
        }
        if (addr <= pa(ServiceRegister) && addr + count >= pa(ServiceRegister) + 4) {
            const QByteArray sig = signatureOf(regPtr(ServiceRegister));
            if (sig == "KXQZMWPA") {
                ++restarts;
                restart = true;
            } else if (sig == "KXQZJRVD") {
                ++boots;
                reg(ModeRegister) = BootMode;
            }
            std::fill_n(regPtr(ServiceRegister), 4, 0);
        }
        if (addr <= pa(TestModeRegister) && addr + count >= pa(TestModeRegister) + 4) {
            if (signatureOf(regPtr(TestModeRegister)) == "PWJQZXMV") {
                ++testModes;
                reg(ModeRegister) = TestMode;
            }
            std::fill_n(regPtr(TestModeRegister), 4, 0);
        }
        return restart;
    }

    void logTransaction(Transaction &&t)
    {
        log.push_back(std::move(t));
        while (int(log.size()) > MaxLog)
            log.pop_front();
    }

    // ---- server thread ----
    bool listen();
    void closeListener();
    void closeClients();
    void run();
    // Handles one request on fd; false when the connection must be closed.
    bool serve(int fd, const uint8_t *req, int len);
    bool sleepFor(int ms);
};

bool ModuleSimulator::Private::listen()
{
    const QByteArray node = address.toLocal8Bit();
    const QByteArray service = QByteArray::number(port);
    ctx = modbus_new_tcp_pi(node.constData(), service.constData());
    if (!ctx) {
        error = QStringLiteral("cannot create a Modbus context for %1").arg(address);
        return false;
    }
    listenFd = modbus_tcp_pi_listen(ctx, 8);
    if (listenFd < 0) {
        error = QStringLiteral("cannot listen on %1 port %2: %3")
                    .arg(address)
                    .arg(port)
                    .arg(QString::fromLocal8Bit(modbus_strerror(errno)));
        modbus_free(ctx);
        ctx = nullptr;
        return false;
    }
    sockaddr_storage sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(listenFd, reinterpret_cast<sockaddr *>(&sa), &len) == 0) {
        if (sa.ss_family == AF_INET)
            port = ntohs(reinterpret_cast<sockaddr_in *>(&sa)->sin_port);
        else if (sa.ss_family == AF_INET6)
            port = ntohs(reinterpret_cast<sockaddr_in6 *>(&sa)->sin6_port);
    }
    return true;
}

void ModuleSimulator::Private::closeListener()
{
    if (listenFd >= 0)
        ::close(listenFd);
    listenFd = -1;
    if (ctx)
        modbus_free(ctx);
    ctx = nullptr;
}

void ModuleSimulator::Private::closeClients()
{
    for (int fd : clients)
        ::close(fd);
    clients.clear();
}

bool ModuleSimulator::Private::sleepFor(int ms)
{
    if (ms <= 0)
        return !stopping;
    std::unique_lock<std::mutex> lock(m);
    cv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping.load(); });
    return !stopping;
}

void ModuleSimulator::Private::run()
{
    uint8_t req[MODBUS_TCP_MAX_ADU_LENGTH];
    while (!stopping) {
        {
            std::lock_guard<std::mutex> lock(m);
            const auto now = Clock::now();
            advance(now);
            if (dropRequested) {
                closeClients();
                dropRequested = false;
                cv.notify_all();
            }
            if (restarting && now >= restartEnd) {
                // Back on the same port; the address was bound a moment ago, so this rarely
                // fails, and if it does the next turn tries again.
                if (listen()) {
                    restarting = false;
                    reg(ModeRegister) = WorkMode;
                }
            }
        }

        fd_set rd;
        FD_ZERO(&rd);
        int maxFd = -1;
        if (listenFd >= 0) {
            FD_SET(listenFd, &rd);
            maxFd = listenFd;
        }
        for (int fd : clients) {
            FD_SET(fd, &rd);
            maxFd = std::max(maxFd, fd);
        }
        timeval tv{0, 10000};
        const int n = ::select(maxFd + 1, &rd, nullptr, nullptr, &tv);
        if (n <= 0)
            continue;

        if (listenFd >= 0 && FD_ISSET(listenFd, &rd)) {
            int lfd = listenFd;
            const int fd = modbus_tcp_pi_accept(ctx, &lfd);
            if (fd >= 0) {
                std::lock_guard<std::mutex> lock(m);
                clients.push_back(fd);
                ++accepted;
            }
        }
        const std::vector<int> ready = clients;
        for (int fd : ready) {
            if (!FD_ISSET(fd, &rd) || stopping)
                continue;
            bool keep = false;
            {
                std::lock_guard<std::mutex> lock(m);
                if (!ctx)
                    break; // restarting: connections are gone already
                modbus_set_socket(ctx, fd);
            }
            const int len = modbus_receive(ctx, req);
            if (len > 0)
                keep = serve(fd, req, len);
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

bool ModuleSimulator::Private::serve(int fd, const uint8_t *req, int len)
{
    const int hdr = 7; // MBAP header
    Transaction t;
    std::vector<uint8_t> pdu;
    bool restart = false;
    int delay = 0;
    if (len < hdr + 1)
        return false;
    const uint8_t fc = req[hdr];
    t.function = fc;
    auto exception = [&](uint8_t code) {
        pdu.assign({uint8_t(fc | 0x80), code});
        t.outcome = Transaction::Exception;
    };
    {
        std::lock_guard<std::mutex> lock(m);
        delay = answerDelayMs;
        if (dropAfter == 0) {
            // Gone before the request had any effect.
            dropAfter = -1;
            describe(t, req + hdr, len - hdr);
            t.outcome = Transaction::Dropped;
            logTransaction(std::move(t));
            return false;
        }
        const uint8_t *p = req + hdr + 1;
        const int avail = len - hdr - 1;
        switch (fc) {
        case 3:
        case 4: {
            if (avail < 4) {
                exception(3);
                break;
            }
            const uint addr = get16(p);
            const uint cnt = get16(p + 2);
            t.address = t.readAddress = int(addr);
            t.readCount = int(cnt);
            if (cnt < 1 || cnt > 125 || addr + cnt > 0x10000) {
                exception(3);
            } else if (readFails(addr, cnt)) {
                exception(2);
            } else {
                prepareRead(addr, cnt);
                pdu.push_back(fc);
                pdu.push_back(uint8_t(2 * cnt));
                for (uint i = 0; i < cnt; ++i)
                    put16(pdu, regs[addr + i]);
            }
            break;
        }
        case 6: {
            if (avail < 4) {
                exception(3);
                break;
            }
            const uint addr = get16(p);
            t.address = t.writeAddress = int(addr);
            t.writeCount = 1;
            t.written.append(get16(p + 2));
            regs[addr] = get16(p + 2);
            restart = afterWrite(addr, 1);
            pdu.assign(req + hdr, req + hdr + 5);
            break;
        }
        case 16: {
            if (avail < 5) {
                exception(3);
                break;
            }
            const uint addr = get16(p);
            const uint cnt = get16(p + 2);
            t.address = t.writeAddress = int(addr);
            t.writeCount = int(cnt);
            if (cnt < 1 || cnt > 123 || p[4] != 2 * cnt || avail < int(5 + 2 * cnt) ||
                addr + cnt > 0x10000) {
                exception(3);
                break;
            }
            for (uint i = 0; i < cnt; ++i) {
                const quint16 v = get16(p + 5 + 2 * i);
                t.written.append(v);
                regs[addr + i] = v;
            }
            restart = afterWrite(addr, cnt);
            pdu.assign(req + hdr, req + hdr + 5);
            break;
        }
        case 23: {
            if (avail < 9) {
                exception(3);
                break;
            }
            const uint raddr = get16(p);
            const uint rcnt = get16(p + 2);
            const uint waddr = get16(p + 4);
            const uint wcnt = get16(p + 6);
            t.address = t.writeAddress = int(waddr);
            t.writeCount = int(wcnt);
            t.readAddress = int(raddr);
            t.readCount = int(rcnt);
            if (rcnt < 1 || rcnt > 125 || wcnt < 1 || wcnt > 121 || p[8] != 2 * wcnt ||
                avail < int(9 + 2 * wcnt) || raddr + rcnt > 0x10000 || waddr + wcnt > 0x10000) {
                exception(3);
                break;
            }
            for (uint i = 0; i < wcnt; ++i) {
                const quint16 v = get16(p + 9 + 2 * i);
                t.written.append(v);
                regs[waddr + i] = v;
            }
            restart = afterWrite(waddr, wcnt);
            if (readFails(raddr, rcnt)) {
                exception(2);
                break;
            }
            prepareRead(raddr, rcnt);
            std::vector<quint16> out(regs.begin() + raddr, regs.begin() + raddr + rcnt);
            const bool window = raddr == pa(WaveformWindow) || raddr == pa(SpectrumWindow);
            if (window && waddr == raddr) {
                if (wrongEchoGood >= 0 && windowTransfers >= wrongEchoGood && rcnt >= 3)
                    ++out[2];
                ++windowTransfers;
            }
            pdu.push_back(fc);
            pdu.push_back(uint8_t(2 * rcnt));
            for (quint16 v : out)
                put16(pdu, v);
            break;
        }
        default:
            exception(1);
            break;
        }

        if (dropAfter > 0)
            --dropAfter;
        logTransaction(std::move(t));
    }

    if (!sleepFor(delay))
        return false;

    std::vector<uint8_t> adu;
    adu.reserve(hdr + pdu.size());
    adu.push_back(req[0]);
    adu.push_back(req[1]);
    adu.push_back(0);
    adu.push_back(0);
    put16(adu, quint16(pdu.size() + 1));
    adu.push_back(req[6]);
    adu.insert(adu.end(), pdu.begin(), pdu.end());
    size_t sent = 0;
    while (sent < adu.size()) {
        const ssize_t w = ::send(fd, adu.data() + sent, adu.size() - sent, MSG_NOSIGNAL);
        if (w <= 0)
            return false;
        sent += size_t(w);
    }

    if (restart) {
        // The module reboots: every connection goes, and nobody is accepted for a while.
        std::lock_guard<std::mutex> lock(m);
        closeClients();
        closeListener();
        restarting = true;
        restartEnd = Clock::now() + std::chrono::milliseconds(restartMs);
        return true; // fd is already closed and removed
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

ModuleSimulator::ModuleSimulator(Kind kind)
    : d(std::make_unique<Private>())
{
    std::lock_guard<std::mutex> lock(d->m);
    d->reset(kind);
}

ModuleSimulator::~ModuleSimulator()
{
    stop();
}

bool ModuleSimulator::start(const QString &address, quint16 port)
{
    stop();
    std::lock_guard<std::mutex> lock(d->m);
    d->address = address;
    d->port = port;
    d->error.clear();
    d->accepted = 0;
    d->restarting = false;
    if (!d->listen())
        return false;
    d->stopping = false;
    d->running = true;
    d->thread = std::thread([this] { d->run(); });
    return true;
}

void ModuleSimulator::stop()
{
    {
        std::lock_guard<std::mutex> lock(d->m);
        if (!d->running)
            return;
        d->stopping = true;
        d->cv.notify_all();
    }
    d->thread.join();
    std::lock_guard<std::mutex> lock(d->m);
    d->running = false;
}

bool ModuleSimulator::isRunning() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->running;
}

quint16 ModuleSimulator::port() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->port;
}

QString ModuleSimulator::address() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->address;
}

QString ModuleSimulator::errorString() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->error;
}

int ModuleSimulator::clientCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return int(d->clients.size());
}

int ModuleSimulator::acceptedCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->accepted;
}

void ModuleSimulator::dropConnections()
{
    std::unique_lock<std::mutex> lock(d->m);
    if (!d->running)
        return;
    d->dropRequested = true;
    d->cv.wait_for(lock, std::chrono::seconds(2), [this] { return !d->dropRequested; });
}

void ModuleSimulator::resetContents(Kind kind)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->reset(kind);
}

ModuleSimulator::Kind ModuleSimulator::kind() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->kind;
}

void ModuleSimulator::setInfoField(int index, const QByteArray &bytes)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->writeInfoField(index, bytes);
}

void ModuleSimulator::setMode(quint16 mode)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->reg(ModeRegister) = mode;
}

quint16 ModuleSimulator::mode() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->reg(ModeRegister);
}

quint16 ModuleSimulator::statusWord(int k) const
{
    std::lock_guard<std::mutex> lock(d->m);
    return k >= 0 && k < int(StatusCount) ? d->reg(StatusRegister + uint(k)) : 0;
}

void ModuleSimulator::setStatusWord(int k, quint16 value)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (k >= 0 && k < int(StatusCount))
        d->reg(StatusRegister + uint(k)) = value;
}

QVector<quint16> ModuleSimulator::channelImage(int ch) const
{
    std::lock_guard<std::mutex> lock(d->m);
    if (ch < 0 || ch > 3)
        return {};
    const quint16 *p = d->regPtr(ChannelRegister + ChannelCount * uint(ch));
    return QVector<quint16>(p, p + ChannelCount);
}

void ModuleSimulator::setChannelImage(int ch, const QVector<quint16> &image)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (ch < 0 || ch > 3)
        return;
    quint16 *p = d->regPtr(ChannelRegister + ChannelCount * uint(ch));
    std::fill_n(p, ChannelCount, 0);
    std::copy_n(image.constData(), std::min<int>(image.size(), int(ChannelCount)), p);
    d->bumpStatus(ch);
}

void ModuleSimulator::setChannelStatus(int ch, quint16 status)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (ch < 0 || ch > 3)
        return;
    d->reg(ChannelRegister + ChannelCount * uint(ch)) = status;
    d->bumpStatus(ch);
}

void ModuleSimulator::setMeasurement(int ch, int slot, quint16 type, quint16 flags, float value,
                                     quint16 fsValue, quint16 baseline)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (ch < 0 || ch > 3 || slot < 0 || slot > 7)
        return;
    d->writeMeasurement(ch, slot, type, flags, value, fsValue, baseline);
    d->bumpStatus(ch);
}

void ModuleSimulator::setMovingValues(bool on, int periodMs)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->moving = on;
    d->movePeriodMs = std::max(1, periodMs);
    d->nextMove = Clock::now() + std::chrono::milliseconds(d->movePeriodMs);
}

void ModuleSimulator::setRelayStatus(quint32 status)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (status == d->relay())
        return;
    d->writeRelay(status);
    d->bumpStatus(29);
}

quint32 ModuleSimulator::relayStatus() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->relay();
}

void ModuleSimulator::setSettings(const t_orvo_settings &settings)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (std::memcmp(d->regPtr(SettingsRegister), &settings, sizeof settings) == 0)
        return;
    std::memcpy(d->regPtr(SettingsRegister), &settings, sizeof settings);
    d->bumpStatus(28);
}

void ModuleSimulator::settings(t_orvo_settings &out) const
{
    std::lock_guard<std::mutex> lock(d->m);
    std::memcpy(&out, d->regPtr(SettingsRegister), sizeof out);
}

void ModuleSimulator::writeArea(t_orvo_settings &out) const
{
    std::lock_guard<std::mutex> lock(d->m);
    std::memcpy(&out, d->regPtr(WriteAreaRegister), sizeof out);
}

void ModuleSimulator::setCommitStatus(quint16 value)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->commitStatus = value;
}

int ModuleSimulator::commitCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->commits;
}

void ModuleSimulator::setCaptureDelay(int ms)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->captureDelayMs = std::max(0, ms);
}

void ModuleSimulator::setCaptureAutoReady(bool on)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->autoReady = on;
    if (!on)
        d->wfPending = d->spPending = false;
}

int ModuleSimulator::waveformTriggerCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->wfTriggers;
}

int ModuleSimulator::spectrumTriggerCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->spTriggers;
}

void ModuleSimulator::setWaveformPoints(int ch, quint32 count)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (ch >= 0 && ch < 4)
        d->wfPoints[ch] = count;
}

void ModuleSimulator::setSpectrumPoints(int ch, quint32 count)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (ch >= 0 && ch < 4)
        d->spPoints[ch] = count;
}

quint32 ModuleSimulator::pointValue(bool spectrum, int ch, quint16 selector, quint32 index)
{
    return VibrationSignal::pointBits(spectrum, ch, selector, index);
}

int ModuleSimulator::restartCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->restarts;
}

int ModuleSimulator::bootCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->boots;
}

int ModuleSimulator::testModeCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return d->testModes;
}

void ModuleSimulator::setRestartTime(int ms)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->restartMs = std::max(0, ms);
}

void ModuleSimulator::setDropAfter(int n)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->dropAfter = n < 0 ? -1 : n;
}

void ModuleSimulator::setWrongEcho(int goodTransfers)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->wrongEchoGood = goodTransfers < 0 ? -1 : goodTransfers;
    d->windowTransfers = 0;
}

void ModuleSimulator::setAnswerDelay(int ms)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->answerDelayMs = std::max(0, ms);
}

void ModuleSimulator::setRefuseIdentification(bool on)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->refuseIdent = on;
}

void ModuleSimulator::setHeaderPointCountOverride(bool on, quint32 count)
{
    std::lock_guard<std::mutex> lock(d->m);
    d->headerOverride = on;
    d->headerOverrideCount = count;
}

void ModuleSimulator::addReadFailRange(uint firstRegister, uint count)
{
    std::lock_guard<std::mutex> lock(d->m);
    if (firstRegister >= 1)
        d->failRanges.emplace_back(firstRegister, count);
}

void ModuleSimulator::clearReadFailRanges()
{
    std::lock_guard<std::mutex> lock(d->m);
    d->failRanges.clear();
}

void ModuleSimulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(d->m);
    d->dropAfter = -1;
    d->wrongEchoGood = -1;
    d->windowTransfers = 0;
    d->answerDelayMs = 0;
    d->refuseIdent = false;
    d->headerOverride = false;
    d->failRanges.clear();
}

QVector<ModuleSimulator::Transaction> ModuleSimulator::transactions() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return QVector<Transaction>(d->log.begin(), d->log.end());
}

int ModuleSimulator::transactionCount() const
{
    std::lock_guard<std::mutex> lock(d->m);
    return int(d->log.size());
}

void ModuleSimulator::clearTransactions()
{
    std::lock_guard<std::mutex> lock(d->m);
    d->log.clear();
}
