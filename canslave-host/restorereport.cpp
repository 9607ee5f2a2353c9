#include "restorereport.h"

#include "commands.h"
#include "slaveinsides.h"
#include "streamsummary.h"

#include "eds/edsentry.h"

#include <QFileInfo>

namespace refhost {

bool reportRestore(const QString &file, const StreamSummary &stored, const RestoredSlave &slave, QTextStream &err)
{
    bool whole = true;
    const auto problem = [&](const QString &text) {
        err << file << ": " << text << '\n';
        whole = false;
    };
    if (!stored.complete)
        problem(tr("the stream is cut short; whatever it lacks is left empty"));
    if (stored.unreadBytes > 0)
        problem(tr("%1 bytes after the end of the stream were not read").arg(stored.unreadBytes));
    if (!QFileInfo(slave.edsFile).isFile()) {
        QString where = QLatin1Char('"') + stored.edsFile + QLatin1Char('"');
        if (slave.edsFile != stored.edsFile)
            where += tr(" nor at \"%1\"").arg(slave.edsFile);
        problem(tr("EDS file not found at %1; the slave \"%2\" has no EDS").arg(where, slave.name));
    } else if (!slave.hasEds) {
        problem(tr("the EDS file \"%1\" is there but cannot be read as an EDS; the slave \"%2\" has no EDS")
                    .arg(slave.edsFile, slave.name));
    } else if (slave.edsFile != stored.edsFile) {
        err << file << ": " << tr("the EDS was not at \"%1\"; it was read from \"%2\"").arg(stored.edsFile, slave.edsFile)
            << '\n';
    }
    // What the plug-in did not take over, as the model could never have made it.
    for (const quint32 commIndex : stored.pdoIndexes) {
        if (!slave.pdoIndexes.contains(commIndex))
            problem(tr("PDO 0x%1 is left out: its direction does not fit its index, or it maps more than 8 bytes")
                        .arg(commIndex, 0, 16));
    }
    for (const StoredPlace &o : stored.placedObjects) {
        for (const MappedObject &m : slave.mapped) {
            if (m.commIndex == o.commIndex && m.index == o.index && m.subIndex == o.subIndex && !m.placed)
                problem(tr("object 0x%1 sub %2 of PDO 0x%3 comes back without its PLC place: its stored length is "
                           "not the size of its data type")
                            .arg(o.index, 0, 16).arg(o.subIndex).arg(o.commIndex, 0, 16));
        }
    }
    // The stream keeps what the user mapped; an EDS changed since then no longer agrees.
    for (const MappedObject &m : slave.mapped) {
        if (!slave.hasEds)
            break;
        const int now = slave.mappableTypes.value(mappableKey(m.index, m.subIndex), -1);
        if (now < 0)
            problem(tr("object 0x%1 sub %2 of PDO 0x%3 is no longer a mappable object of the EDS")
                        .arg(m.index, 0, 16).arg(m.subIndex).arg(m.commIndex, 0, 16));
        else if (now != m.dataType)
            problem(tr("object 0x%1 sub %2 of PDO 0x%3 is stored with data type 0x%4, the EDS now gives 0x%5")
                        .arg(m.index, 0, 16).arg(m.subIndex).arg(m.commIndex, 0, 16)
                        .arg(m.dataType, 4, 16, QLatin1Char('0')).arg(now, 4, 16, QLatin1Char('0')));
    }
    if (stored.pdoCount != slave.pdoCount || stored.sdoCount != slave.sdoCount)
        problem(tr("the stream holds %1 PDOs and %2 SDOs, the restored slave %3 PDOs and %4 SDOs")
                    .arg(stored.pdoCount).arg(stored.sdoCount).arg(slave.pdoCount).arg(slave.sdoCount));
    return whole;
}

} // namespace refhost
