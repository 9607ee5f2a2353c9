#include "restorereport.h"

#include "commands.h"
#include "slaveinsides.h"
#include "streamsummary.h"

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
    } else if (slave.edsFile != stored.edsFile) {
        err << file << ": " << tr("the EDS was not at \"%1\"; it was read from \"%2\"").arg(stored.edsFile, slave.edsFile)
            << '\n';
    }
    if (stored.pdoCount != slave.pdoCount || stored.sdoCount != slave.sdoCount)
        problem(tr("the stream holds %1 PDOs and %2 SDOs, the restored slave %3 PDOs and %4 SDOs")
                    .arg(stored.pdoCount).arg(stored.sdoCount).arg(slave.pdoCount).arg(slave.sdoCount));
    return whole;
}

} // namespace refhost
