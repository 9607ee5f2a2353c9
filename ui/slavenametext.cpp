#include "ui/slavenametext.h"

#include <QCoreApplication>

namespace {

// Named by restore and recompile, under this context, while no translation is in.
const char unknownDevice[] = "Unknown Device";

QString shownUnknownDevice()
{
    return QCoreApplication::translate("CanSlave", unknownDevice);
}

} // namespace

QString shownSlaveName(const QString &stored)
{
    return stored == QLatin1String(unknownDevice) ? shownUnknownDevice() : stored;
}

QString storedSlaveName(const QString &shown)
{
    return shown == shownUnknownDevice() ? QString::fromLatin1(unknownDevice) : shown;
}
