#include "garbagegenerator.h"

#include "nodestatusdecoder.h"

#include <QRandomGenerator>

QByteArray GarbageGenerator::make(QRandomGenerator &rng, const QByteArray &valid)
{
    NodeStatus msg;
    QByteArray out;
    // A cut at a boundary between two fields may still be a valid, smaller message.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (valid.size() > 1 && rng.bounded(2)) {
            out = valid.left(int(rng.bounded(1u, quint32(valid.size()))));
        } else {
            out.resize(int(rng.bounded(1u, 300u)));
            for (char &byte : out)
                byte = char(rng.bounded(256u));
        }
        if (!decodeNodeStatus(out, msg))
            return out;
    }
    return QByteArray(1, '\0') + out; // a leading tag 0 never decodes
}
