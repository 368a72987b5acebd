#pragma once

#include "nodestatus.h"

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QByteArray;
QT_END_NAMESPACE

// Decodes one status datagram, the whole buffer being exactly one NodeStatus. Every field of
// msg is first set to its default (numbers 0, has-flags false, channel states -1), so msg need
// not be cleared. Returns false for anything that is not a complete, well-formed message:
// a missing required field at any level, a wrong wire type, a group, a tag 0, a uint32 beyond
// 32 bits, a varint over ten bytes (in undefined fields too), a length past the end.
// Undefined fields are skipped.
// After a failure msg holds whatever was decoded so far and must not be used.
bool decodeNodeStatus(const char *data, qsizetype size, NodeStatus &msg);
bool decodeNodeStatus(const QByteArray &datagram, NodeStatus &msg);
