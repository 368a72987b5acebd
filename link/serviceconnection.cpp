#include "serviceconnection.h"

#include "moduleregisters.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>

#include <modbus/modbus.h>

#include <cerrno>

using namespace ModuleRegisters;

namespace {

constexpr int ResponseTimeoutS = 2;

QString libraryReason()
{
    return QString::fromLocal8Bit(modbus_strerror(errno));
}

} // namespace

ServiceConnection::ServiceConnection(const QString &host, quint16 port)
    : host(host.toLocal8Bit())
    , service(QByteArray::number(port))
{}

ServiceConnection::~ServiceConnection()
{
    close();
}

QString ServiceConnection::modeName(quint16 mode)
{
    switch (mode) {
    case BootMode:
        return tr("boot loader");
    case WorkMode:
        return tr("work mode");
    case TestMode:
        return tr("test mode");
    default:
        return tr("unknown mode %1").arg(mode);
    }
}

void ServiceConnection::close()
{
    if (!ctx)
        return;
    modbus_close(ctx);
    modbus_free(ctx);
    ctx = nullptr;
}

bool ServiceConnection::connectModule()
{
    close();
    ctx = modbus_new_tcp_pi(host.constData(), service.constData());
    if (!ctx) {
        lastError = tr("Cannot setup connection to module");
        return false;
    }
    modbus_set_response_timeout(ctx, ResponseTimeoutS, 0);
    if (modbus_connect(ctx) != 0) {
        lastError = tr("Cannot setup connection to module: %1").arg(libraryReason());
        close();
        return false;
    }
    return true;
}

bool ServiceConnection::read(unsigned reg, int count, quint16 *values, const QString &what)
{
    if (modbus_read_input_registers(ctx, int(reg - 1), count, values) == count)
        return true;
    lastError = QStringLiteral("%1: %2").arg(what, libraryReason());
    return false;
}

bool ServiceConnection::identify(Identification &id)
{
    id = Identification();
    if (!ctx && !connectModule())
        return false;
    quint16 regs[InfoCount];
    if (!read(InfoRegister, int(InfoCount), regs, tr("Cannot read device information"))) {
        close();
        return false;
    }
    QByteArray block(int(2 * InfoCount), '\0');
    for (uint i = 0; i < InfoCount; ++i) {
        block[int(2 * i)] = char(regs[i] & 0xFF);
        block[int(2 * i + 1)] = char(regs[i] >> 8);
    }
    id.typeName = infoText(block, 0);
    for (int i = 0; i < 3; ++i)
        id.texts[i] = infoText(block, i + 1);
    quint16 mode = 0;
    if (!read(ModeRegister, 1, &mode, tr("Cannot read device mode"))) {
        close();
        return false;
    }
    id.mode = mode;
    return true;
}

bool ServiceConnection::restart(int giveUpMs, int retryMs)
{
    if (!ctx && !connectModule())
        return false;
    quint16 regs[SignatureCount];
    signatureRegisters(RestartSignature, regs);
    if (modbus_write_registers(ctx, int(ServiceRegister - 1), int(SignatureCount), regs) !=
        int(SignatureCount)) {
        lastError = tr("Cannot write the restart request: %1").arg(libraryReason());
        close();
        return false;
    }
    close();
    // Until the module has gone down it may still answer in its old mode: only work mode
    // tells that the restart is over.
    const QDeadlineTimer deadline(giveUpMs);
    Identification id;
    do {
        QThread::msleep(ulong(std::max(1, retryMs)));
        if (identify(id) && id.mode == WorkMode) {
            close();
            return true;
        }
        close();
    } while (!deadline.hasExpired());
    lastError = id.mode ? tr("The module came back in %1, not in work mode").arg(modeName(id.mode))
                        : tr("The module did not come back after the restart: %1").arg(lastError);
    return false;
}
