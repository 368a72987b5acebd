#include "nodestatusdecoder.h"

#include <QByteArray>

#include <pb_common.h>
#include <pb_decode.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int MaxVarintBytes = 10;
// Far deeper than the schema goes; only a recursive schema could reach it.
constexpr int MaxNesting = 32;

// For every message a NodeStatus can contain: which tags carry a sub-message, and which.
// Taken from the generated descriptors, so the walk follows the schema without restating it.
class SubMessageMap
{
public:
    explicit SubMessageMap(const pb_msgdesc_t *root) { add(root); }

    // The level of the sub-message in field tag of level, or -1 for anything else.
    int child(int level, uint64_t tag) const
    {
        const std::vector<int> &children = levels[size_t(level)].children;
        return tag < children.size() ? children[size_t(tag)] : -1;
    }

private:
    struct Level
    {
        const pb_msgdesc_t *desc = nullptr;
        std::vector<int> children; // by tag
    };

    int add(const pb_msgdesc_t *desc)
    {
        for (size_t i = 0; i < levels.size(); ++i) {
            if (levels[i].desc == desc)
                return int(i);
        }
        const int index = int(levels.size());
        levels.push_back(Level{desc, std::vector<int>(size_t(desc->largest_tag) + 1, -1)});
        // The iterator only computes member addresses; any record at least as large as the
        // message will do, and NodeStatus contains every other message of the schema.
        static const NodeStatus layout = {};
        pb_field_iter_t field;
        if (!pb_field_iter_begin_const(&field, desc, &layout))
            return index;
        do {
            if (PB_LTYPE_IS_SUBMSG(field.type)) {
                const int sub = add(field.submsg_desc);
                levels[size_t(index)].children[field.tag] = sub;
            }
        } while (pb_field_iter_next(&field));
        return index;
    }

    std::vector<Level> levels;
};

bool readVarint(const uint8_t *&p, const uint8_t *end, uint64_t &value)
{
    value = 0;
    for (int i = 0; i < MaxVarintBytes; ++i) {
        if (p == end)
            return false;
        const uint8_t byte = *p++;
        value |= uint64_t(byte & 0x7F) << (7 * i);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

// nanopb skips a field the schema does not define without any length limit on its varint; a
// varint of more than ten bytes is malformed wherever it stands, so the wire format is walked
// first, into every sub-message the schema defines. What the walk cannot step over (a group, a
// length past the end, a cut field) nanopb refuses as well.
bool varintsWellFormed(const SubMessageMap &schema, int level, const uint8_t *p, const uint8_t *end,
                       int depth)
{
    if (depth > MaxNesting)
        return false;
    while (p != end) {
        uint64_t key = 0;
        uint64_t value = 0;
        if (!readVarint(p, end, key))
            return false;
        switch (key & 7) {
        case PB_WT_VARINT:
            if (!readVarint(p, end, value))
                return false;
            break;
        case PB_WT_64BIT:
            if (end - p < 8)
                return false;
            p += 8;
            break;
        case PB_WT_32BIT:
            if (end - p < 4)
                return false;
            p += 4;
            break;
        case PB_WT_STRING: {
            if (!readVarint(p, end, value) || value > uint64_t(end - p))
                return false;
            const int sub = schema.child(level, key >> 3);
            if (sub >= 0 && !varintsWellFormed(schema, sub, p, p + value, depth + 1))
                return false;
            p += value;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

} // namespace

bool decodeNodeStatus(const char *data, qsizetype size, NodeStatus &msg)
{
    if (size < 0 || (size > 0 && !data))
        return false;
    static const SubMessageMap schema(&NodeStatus_msg);
    const auto *bytes = reinterpret_cast<const uint8_t *>(data);
    if (size > 0 && !varintsWellFormed(schema, 0, bytes, bytes + size, 0))
        return false;
    // Plain pb_decode, never the null-terminated variant: nanopb then rejects a tag 0 at every
    // nesting level instead of taking it as the end of the message (pinned by the tests).
    pb_istream_t stream = pb_istream_from_buffer(bytes, size_t(size));
    return pb_decode(&stream, &NodeStatus_msg, &msg);
}

bool decodeNodeStatus(const QByteArray &datagram, NodeStatus &msg)
{
    return decodeNodeStatus(datagram.constData(), datagram.size(), msg);
}
