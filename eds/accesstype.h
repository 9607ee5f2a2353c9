#pragma once

#include "eds/edsentry.h"

#include <QList>
#include <QString>

// What an object's access type allows a PDO to do with it. The six access
// types compare without regard to case; any other text keeps the old reading,
// where only a type containing "ro" stays out of receive PDOs.

// ro and const: the device will not take another value.
bool isFixedAccess(const QString &accessType);
// The device takes the object's value from a receive PDO: rw, wo and rww.
bool mappableIntoReceivePdo(const QString &accessType);
// The device sends the object's value in a transmit PDO: ro, const, rw and rwr.
bool mappableIntoTransmitPdo(const QString &accessType);
bool mappableInDirection(const QString &accessType, bool receive);

// The mappable objects a PDO of that direction can take, in list order.
QList<EdsEntry> offeredForMapping(const QList<EdsEntry> &mappable, bool receive);
