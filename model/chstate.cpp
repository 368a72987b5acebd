#include "chstate.h"

#include "t_orvo_settings.h"

#include <cstring>

ChState::ChState(int ch, const quint16 *image)
    : ch(ch)
    , status(image[0])
{
    for (int m = 0; m < OrvoSettings::MeasSlotCount; ++m) {
        const quint16 *entry = image + entryOffset(m);
        if (entry[TypeRegister] == 0)
            continue;
        auto item = std::make_unique<ChMeas>();
        item->num = m;
        item->type = entry[TypeRegister];
        const quint16 flags = entry[FlagsRegister];
        const quint32 bits =
            quint32(entry[ValueLowRegister]) | (quint32(entry[ValueHighRegister]) << 16);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        item->value = value;
        item->fs_value = entry[FsValueRegister];
        item->baseline = entry[BaselineRegister];
        item->failure = decodeCondition(flags, 0);
        item->alert = decodeCondition(flags, 2);
        item->danger = decodeCondition(flags, 4);
        item->baseline_valid = flags & (1u << 8);
        item->extra_flag = flags & (1u << 9);
        meas.push_back(std::move(item));
    }
}

ChState::~ChState() = default;

int ChState::decodeCondition(quint16 flags, int shift)
{
    const int field = (flags >> shift) & 3;
    return (field & 2) ? -1 : field;
}
