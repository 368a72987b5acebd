#include "nodestatusdecoder.h"

#include <QByteArray>

#include <pb_decode.h>

bool decodeNodeStatus(const char *data, qsizetype size, NodeStatus &msg)
{
    if (size < 0 || (size > 0 && !data))
        return false;
    // Plain pb_decode, never the null-terminated variant: nanopb then rejects a tag 0 at every
    // nesting level instead of taking it as the end of the message (pinned by the tests).
    pb_istream_t stream =
        pb_istream_from_buffer(reinterpret_cast<const pb_byte_t *>(data), size_t(size));
    return pb_decode(&stream, &NodeStatus_msg, &msg);
}

bool decodeNodeStatus(const QByteArray &datagram, NodeStatus &msg)
{
    return decodeNodeStatus(datagram.constData(), datagram.size(), msg);
}
