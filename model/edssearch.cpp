#include "model/edssearch.h"

#include "model/canobject.h"
#include "model/slavefromeds.h"

#include <QDir>
#include <QFileInfo>

QStringList edsSearchPaths(const QString &stored, const QString &stationKey)
{
    QStringList paths{stored};
    QString name = stored;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty())
        return paths;
    paths << QStringLiteral("../eds/") + name;
    if (!stationKey.isEmpty()) {
        const QDir station = QFileInfo(stationKey).dir();
        paths << QDir::cleanPath(station.filePath(name))
              << QDir::cleanPath(station.filePath(QStringLiteral("../eds/") + name));
    }
    paths.removeDuplicates();
    return paths;
}

bool loadStoredEds(CanObject &slave, const QString &stored)
{
    const QStringList paths = edsSearchPaths(stored, slave.projectKey);
    for (const QString &path : paths) {
        if (loadEdsIntoSlave(slave, path))
            return true;
    }
    slave.edsFile = stored;
    return false;
}
