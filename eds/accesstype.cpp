#include "eds/accesstype.h"

#include "eds/edsnumber.h"

namespace {

enum class Access { ReadOnly, Constant, ReadWrite, WriteOnly, ReadWriteOutput, ReadWriteInput, Other };

Access accessOf(const QString &text)
{
    const struct {
        QLatin1String name;
        Access access;
    } known[] = {{QLatin1String("ro"), Access::ReadOnly},         {QLatin1String("const"), Access::Constant},
                 {QLatin1String("rw"), Access::ReadWrite},        {QLatin1String("wo"), Access::WriteOnly},
                 {QLatin1String("rww"), Access::ReadWriteOutput}, {QLatin1String("rwr"), Access::ReadWriteInput}};
    const QStringView trimmed = QStringView(text).trimmed();
    for (const auto &k : known) {
        if (equalsIgnoringCase(trimmed, k.name))
            return k.access;
    }
    return Access::Other;
}

bool containsReadOnly(const QString &text)
{
    return text.contains(QLatin1String("RO"), Qt::CaseInsensitive);
}

} // namespace

bool isFixedAccess(const QString &accessType)
{
    const Access access = accessOf(accessType);
    if (access == Access::Other)
        return containsReadOnly(accessType);
    return access == Access::ReadOnly || access == Access::Constant;
}

bool mappableIntoReceivePdo(const QString &accessType)
{
    switch (accessOf(accessType)) {
    case Access::ReadWrite:
    case Access::WriteOnly:
    case Access::ReadWriteOutput:
        return true;
    case Access::Other:
        return !containsReadOnly(accessType);
    default:
        return false;
    }
}

bool mappableIntoTransmitPdo(const QString &accessType)
{
    switch (accessOf(accessType)) {
    case Access::WriteOnly:
    case Access::ReadWriteOutput:
        return false;
    default:
        return true;
    }
}

bool mappableInDirection(const QString &accessType, bool receive)
{
    return receive ? mappableIntoReceivePdo(accessType) : mappableIntoTransmitPdo(accessType);
}

QList<EdsEntry> offeredForMapping(const QList<EdsEntry> &mappable, bool receive)
{
    QList<EdsEntry> offered;
    for (const EdsEntry &entry : mappable) {
        if (mappableInDirection(entry.accessType, receive))
            offered.append(entry);
    }
    return offered;
}
