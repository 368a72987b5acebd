#include "nodestatusencoder.h"

#include <pb_encode.h>

QByteArray NodeStatusEncoder::encode(const NodeStatus &msg)
{
    QByteArray out(NodeStatus_size, Qt::Uninitialized);
    pb_ostream_t stream =
        pb_ostream_from_buffer(reinterpret_cast<pb_byte_t *>(out.data()), size_t(out.size()));
    if (!pb_encode(&stream, &NodeStatus_msg, &msg))
        return QByteArray();
    out.truncate(int(stream.bytes_written));
    return out;
}
