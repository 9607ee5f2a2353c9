// Exports of the slave's life, configuration and queries. Every shell checks
// the handle and hands over; nothing may throw across this boundary.

#include "plugin/canslave.h"

#include "model/canobject.h"

void releaseObject(CanObject *slave)
{
    if (!slave)
        return;
    try {
        slave->releaseMappedMemory();
    } catch (...) {
    }
    delete slave;
}

CanObject *setNodeId(CanObject *slave, int nodeId)
{
    if (!slave)
        return nullptr;
    try {
        slave->setNodeId(quint8(nodeId));
        return slave;
    } catch (...) {
        return nullptr;
    }
}

void setPosition(CanObject *slave, const QPoint &position)
{
    if (slave)
        slave->position = position;
}

QString getName(CanObject *slave)
{
    return slave ? slave->name : QString();
}

QString getEdsFileName(CanObject *slave)
{
    return slave ? slave->edsFile : QString();
}

QString getComment(void *)
{
    return QString();
}

int getNodeId(CanObject *slave)
{
    return slave ? int(slave->nodeId) : -1;
}

QPoint getPosition(CanObject *slave)
{
    return slave ? slave->position : QPoint(0, 0);
}

int getRackId(void *)
{
    return -1;
}

int getSlotId(void *)
{
    return -1;
}

void setRackId(void *, int)
{
}

void setSlotId(void *, int)
{
}

int getFileVersion(void *)
{
    return 0;
}

int getCanSlaveList(void *)
{
    return 0;
}

CanMapInfo getInMap(void *)
{
    return CanMapInfo{0, 0, 0, 1, 1};
}

CanMapInfo getOutMap(void *)
{
    return CanMapInfo{0, 0, 0, 1, 1};
}
