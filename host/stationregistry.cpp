#include "basemodule.h"

#include <QFileInfo>
#include <QHash>

namespace {

QHash<QString, int> &creatorVersions()
{
    static QHash<QString, int> versions;
    return versions;
}

QHash<QString, QString> &productNames()
{
    static QHash<QString, QString> names;
    return names;
}

} // namespace

int getHwFileCreatedVerNum(const QString &path)
{
    return creatorVersions().value(path, CurrentCreatorVersion);
}

void setHwFileCreatedVerNum(const QString &path, int version)
{
    creatorVersions().insert(path, version);
}

void clearHwFileCreatedVerNums()
{
    creatorVersions().clear();
}

QString getCanSlaveProductName(const QString &text)
{
    const auto it = productNames().constFind(text);
    if (it != productNames().constEnd())
        return *it;
    return QFileInfo(text).completeBaseName();
}

void setCanSlaveProductName(const QString &text, const QString &productName)
{
    productNames().insert(text, productName);
}

void clearCanSlaveProductNames()
{
    productNames().clear();
}
