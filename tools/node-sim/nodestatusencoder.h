#pragma once

#include "nodestatus.h"

#include <QByteArray>

// Encodes a NodeStatus into one datagram with nanopb's encoder.
class NodeStatusEncoder
{
public:
    // The datagram, or an empty array if the record cannot be encoded.
    static QByteArray encode(const NodeStatus &msg);
};
