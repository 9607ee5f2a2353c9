// [DynamicChannels]: the segments of PLC-like devices' dynamic channels.
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

#include <map>

namespace {

enum class ChannelKey { Type, Dir, Range, PPOffset, MaxCnt };

struct ChannelKeyName {
    QLatin1String prefix;
    ChannelKey key;
};

const ChannelKeyName channelKeys[] = {
    {QLatin1String("type"), ChannelKey::Type},
    {QLatin1String("dir"), ChannelKey::Dir},
    {QLatin1String("range"), ChannelKey::Range},
    {QLatin1String("ppoffset"), ChannelKey::PPOffset},
    {QLatin1String("maxcnt"), ChannelKey::MaxCnt},
};

// A key is its name, digits (the segment number) and anything after them.
bool matchChannelKey(QStringView key, ChannelKey &which, QStringView &digits)
{
    for (const ChannelKeyName &name : channelKeys) {
        const QLatin1String prefix = name.prefix;
        if (!startsWithIgnoringCase(key, prefix))
            continue;
        qsizetype end = prefix.size();
        while (end < key.size() && isDecimalDigit(key[end]))
            ++end;
        if (end == prefix.size())
            continue;
        which = name.key;
        digits = key.mid(prefix.size(), end - prefix.size());
        return true;
    }
    return false;
}

bool isChannelDir(QStringView value)
{
    return equalsIgnoringCase(value, QLatin1String("RO"))
        || equalsIgnoringCase(value, QLatin1String("wo"))
        || equalsIgnoringCase(value, QLatin1String("rww"));
}

// "low-high" or "offset,bit": two numbers on either side of the separator at `at`.
struct NumberPair {
    std::optional<quint32> first;
    std::optional<quint32> second;
};

NumberPair splitNumberPair(QStringView value, qsizetype at)
{
    return {unsignedNumber(value.left(at).trimmed()), unsignedNumber(value.mid(at + 1).trimmed())};
}

void assignChannelValue(EdsReader &reader, EdsChannelSegment &segment, ChannelKey which,
                        QStringView value, int line)
{
    switch (which) {
    case ChannelKey::Type: {
        const auto type = unsignedNumber(value);
        if (!type)
            reader.diagnose(QStringLiteral("Channel data type error"), line);
        else
            segment.type = quint8(*type);
        break;
    }
    case ChannelKey::Dir:
        if (!isChannelDir(value))
            reader.diagnose(QStringLiteral("Channel data type error: %1").arg(value), line);
        else
            segment.dir = value.toString();
        break;
    case ChannelKey::Range: {
        const qsizetype dash = value.indexOf(QLatin1Char('-'));
        if (dash < 0) {
            reader.diagnose(QStringLiteral("Channel range error"), line);
            break;
        }
        const NumberPair range = splitNumberPair(value, dash);
        segment.rangeLow = range.first.value_or(0);
        segment.rangeHigh = range.second.value_or(0);
        if (!range.first)
            reader.diagnose(QStringLiteral("Channel range error"), line);
        if (!range.second)
            reader.diagnose(QStringLiteral("Channel range error"), line);
        break;
    }
    case ChannelKey::PPOffset: {
        const qsizetype comma = value.indexOf(QLatin1Char(','));
        if (comma < 0) {
            const auto offset = unsignedNumber(value);
            segment.ppOffset = offset.value_or(0);
            segment.bit = 0;
            if (!offset)
                reader.diagnose(QStringLiteral("Offset error"), line);
            break;
        }
        const NumberPair place = splitNumberPair(value, comma);
        segment.ppOffset = place.first.value_or(0);
        segment.bit = place.second.value_or(0);
        if (!place.first)
            reader.diagnose(QStringLiteral("Offset error"), line);
        if (!place.second)
            reader.diagnose(QStringLiteral("bit error"), line);
        break;
    }
    case ChannelKey::MaxCnt: {
        const auto maxCnt = unsignedNumber(value);
        if (!maxCnt)
            reader.diagnose(QStringLiteral("Maxcnt data error"), line);
        else
            segment.maxCnt = *maxCnt;
        break;
    }
    }
}

} // namespace

namespace {

constexpr qint32 maxChannelSegment = 0xFFFF;

} // namespace

void readDynamicChannelsSection(EdsReader &reader)
{
    EdsDynamicChannels &channels = reader.file.dynamicChannels;
    // Keys of one segment may come in any order and far apart; the map keeps
    // that cheap whatever the file does.
    std::map<qint32, EdsChannelSegment> segments;
    for (const EdsChannelSegment &segment : qAsConst(channels.segments))
        segments.emplace(segment.number, segment);

    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        if (equalsIgnoringCase(kv.key, QLatin1String("NrOfSeg"))) {
            channels.nrOfSeg = qint32(toUnsignedNumber(kv.value));
            return;
        }
        ChannelKey which;
        QStringView digits;
        if (!matchChannelKey(kv.key, which, digits)) {
            reader.diagnose(QStringLiteral("Unknown line"), line.number);
            return;
        }
        const auto parsed = unsignedNumber(digits);
        if (!parsed) {
            reader.diagnose(QStringLiteral("Read line seg error"), line.number);
            return;
        }
        const qint32 number = qint32(*parsed);
        if (number < 0)
            return;
        auto it = segments.find(number);
        // Devices have a handful of segments; numbers beyond any real count would
        // only make the file cost more than it holds.
        if (it == segments.end() && number > maxChannelSegment) {
            reader.diagnose(QStringLiteral("Seg %1 out of range").arg(number), line.number);
            return;
        }
        if (it == segments.end()) {
            EdsChannelSegment segment;
            segment.number = number;
            it = segments.emplace(number, segment).first;
        }
        assignChannelValue(reader, it->second, which, kv.value, line.number);
    });

    channels.segments.clear();
    QVector<qint32> present;
    for (const auto &numbered : segments) {
        channels.segments.append(numbered.second);
        present.append(numbered.first);
    }
    const int head = reader.sectionHeadLine();
    reportMissingNumbers(present, channels.nrOfSeg, [&](qint64 n) {
        reader.diagnose(QStringLiteral("Seg %1 not found").arg(n), head);
    });
    for (qint32 n : qAsConst(present)) {
        if (n > channels.nrOfSeg)
            reader.diagnose(QStringLiteral("Unused seg: %1, in section Channels").arg(n), head);
    }
}
