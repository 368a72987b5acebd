#pragma once

#include <QCoreApplication>
#include <QString>

struct _modbus;

// A holder's own short Modbus connection for the one thing a module outside work mode still
// needs: to be identified and to be restarted, which brings it back to work mode. The register
// link refuses such a module by design, so this path opens no watchdog, reads no configuration
// and offers nothing else. Blocking: run it where the link's operations run.
class ServiceConnection
{
    Q_DECLARE_TR_FUNCTIONS(ServiceConnection)

public:
    struct Identification
    {
        QString typeName;
        QString texts[3]; // text fields 2, 3 and 4
        quint16 mode = 0; // the mode register; 0 when it could not be read
    };

    ServiceConnection(const QString &host, quint16 port);
    ~ServiceConnection();
    ServiceConnection(const ServiceConnection &) = delete;
    ServiceConnection &operator=(const ServiceConnection &) = delete;

    // Connects and reads the identification and the mode register; false with the reason in
    // error when the module does not answer.
    bool identify(Identification &id);
    // Writes the restart signature, then looks every retryMs until the module answers in work
    // mode or giveUpMs have passed; the connection is closed afterwards either way.
    bool restart(int giveUpMs = DefaultGiveUpMs, int retryMs = RetryMs);
    void close();

    QString error() const { return lastError; }

    // A module takes about 10 s to come back; a minute covers a slow one.
    static constexpr int DefaultGiveUpMs = 60000;
    static constexpr int RetryMs = 250;

    // Name of a mode register value ("work mode", "test mode", "boot loader").
    static QString modeName(quint16 mode);

private:
    bool connectModule();
    // Reads count registers from register number reg; on failure the library's reason is kept.
    bool read(unsigned reg, int count, quint16 *values, const QString &what);

    const QByteArray host;
    const QByteArray service;
    _modbus *ctx = nullptr;
    QString lastError;
};
