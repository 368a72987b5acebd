#include "modbusframe.h"

namespace {

// Protocol limits per transaction.
constexpr int MaxRead = 125;
constexpr int MaxWrite = 123;
constexpr int MaxReadWriteWrite = 121;
constexpr int AddressSpace = 0x10000;

quint16 get16(const quint8 *p)
{
    return quint16((p[0] << 8) | p[1]);
}

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v >> 8));
    out.append(char(v & 0xFF));
}

bool fits(int address, int count, int max)
{
    return count >= 1 && count <= max && address + count <= AddressSpace;
}

// Reads `count` values announced by byteCount at p into out; false when they do not match.
bool takeValues(const quint8 *p, int avail, int count, QVector<quint16> &out)
{
    if (p[0] != 2 * count || avail < 1 + 2 * count)
        return false;
    out.reserve(count);
    for (int i = 0; i < count; ++i)
        out.append(get16(p + 1 + 2 * i));
    return true;
}

} // namespace

bool ModbusFrame::parse(const quint8 *adu, int length, Request &out)
{
    if (!adu || length < HeaderSize + 1)
        return false;
    out = Request();
    out.transaction = get16(adu);
    out.unit = adu[6];
    out.function = adu[HeaderSize];
    const quint8 *p = adu + HeaderSize + 1;
    const int avail = length - HeaderSize - 1;

    // The fixed part of each request: anything shorter cannot be read at all.
    const auto need = [&](int bytes) {
        if (avail < bytes)
            out.malformed = IllegalValue;
        return avail >= bytes;
    };
    const auto check = [&](bool good) {
        if (!good)
            out.malformed = IllegalValue;
    };
    switch (out.function) {
    case 3:
    case 4:
        if (!need(4))
            break;
        out.readAddress = get16(p);
        out.readCount = get16(p + 2);
        check(fits(out.readAddress, out.readCount, MaxRead));
        break;
    case 6:
        if (!need(4))
            break;
        out.writeAddress = get16(p);
        out.writeCount = 1;
        out.values.append(get16(p + 2));
        break;
    case 16:
        if (!need(5))
            break;
        out.writeAddress = get16(p);
        out.writeCount = get16(p + 2);
        check(fits(out.writeAddress, out.writeCount, MaxWrite) &&
              takeValues(p + 4, avail - 4, out.writeCount, out.values));
        break;
    case 23:
        if (!need(9))
            break;
        out.readAddress = get16(p);
        out.readCount = get16(p + 2);
        out.writeAddress = get16(p + 4);
        out.writeCount = get16(p + 6);
        check(fits(out.readAddress, out.readCount, MaxRead) &&
              fits(out.writeAddress, out.writeCount, MaxReadWriteWrite) &&
              takeValues(p + 8, avail - 8, out.writeCount, out.values));
        break;
    default:
        out.malformed = IllegalFunction;
        break;
    }
    if (out.malformed != NoException)
        out.values.clear();
    return true;
}

QByteArray ModbusFrame::answer(const Request &request, const QByteArray &pdu)
{
    QByteArray adu;
    adu.reserve(HeaderSize + pdu.size());
    put16(adu, request.transaction);
    put16(adu, 0); // protocol: Modbus
    put16(adu, quint16(pdu.size() + 1));
    adu.append(char(request.unit));
    adu.append(pdu);
    return adu;
}

QByteArray ModbusFrame::readAnswer(const Request &request, const QVector<quint16> &registers)
{
    QByteArray pdu;
    pdu.append(char(request.function));
    pdu.append(char(2 * registers.size()));
    for (quint16 v : registers)
        put16(pdu, v);
    return answer(request, pdu);
}

QByteArray ModbusFrame::writeAnswer(const Request &request)
{
    // Function 6 echoes the value; function 16 the count.
    QByteArray pdu;
    pdu.append(char(request.function));
    put16(pdu, quint16(request.writeAddress));
    put16(pdu, request.function == 6 ? request.values.value(0) : quint16(request.writeCount));
    return answer(request, pdu);
}

QByteArray ModbusFrame::exceptionAnswer(const Request &request, Exception code)
{
    QByteArray pdu;
    pdu.append(char(request.function | 0x80));
    pdu.append(char(code));
    return answer(request, pdu);
}
