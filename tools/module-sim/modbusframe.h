#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

// Modbus TCP framing as the simulated module needs it: one request ADU taken apart, and the
// ADU of its answer put together. Function codes 3 and 4 (read), 6 and 16 (write) and 23
// (read/write) are understood; addresses are protocol addresses.
class ModbusFrame
{
public:
    static constexpr int HeaderSize = 7; // MBAP: transaction, protocol, length, unit

    // Exception codes of an answer.
    enum Exception : quint8 {
        NoException = 0,
        IllegalFunction = 1,
        IllegalAddress = 2,
        IllegalValue = 3,
    };

    struct Request
    {
        quint16 transaction = 0;
        quint8 unit = 0;
        quint8 function = 0;
        int readAddress = -1; // -1: the request reads nothing
        int readCount = 0;
        int writeAddress = -1; // -1: the request writes nothing
        int writeCount = 0;
        QVector<quint16> values; // to be written, in order
        // Why the request cannot be carried out as it stands; its address fields are filled
        // only as far as the request could be read.
        Exception malformed = NoException;
    };

    // Takes one received ADU apart; false when it is too short to carry a function code.
    static bool parse(const quint8 *adu, int length, Request &out);

    // Answers: registers read, a write confirmed, an exception.
    static QByteArray readAnswer(const Request &request, const QVector<quint16> &registers);
    static QByteArray writeAnswer(const Request &request);
    static QByteArray exceptionAnswer(const Request &request, Exception code);

private:
    static QByteArray answer(const Request &request, const QByteArray &pdu);
};
