#pragma once

#include "model/canobject.h"

#include <QPair>
#include <QSet>
#include <QString>

// Slaves built by hand, filled as loading an EDS would fill them, so dialog
// tests do not depend on the EDS reader. Mapped objects are placed in the
// memory book under the slave's key like a default mapping places them.

// An entry of the device's object dictionary that may be mapped.
EdsEntry mappableEntry(int index, int subIndex, quint8 dataType, const QString &access, const QString &name);

// Maps an object into the PDO and reserves its place; false when the place is taken.
bool mapPlaced(const QString &key, PDOConfig &pdo, int index, int subIndex, quint8 dataType,
               const QString &name, int area, int offset, bool readOnly = false);

// Identity 0x1A2 / 0x00020191 / 0x4A7 / 0x10001, EDS "io-8.eds", node 3,
// node-relative emergency COB-ID 0x80, and these mapped objects:
//   0x1400 (receive):  6200/1 UInt8 %Q0, 6200/2 UInt8 %Q1, 6411/1 Int16 %Q2
//   0x1401 (receive):  7000/1 UInt32 %Q4 (read-only), 6200/3 UInt8 %Q8
//   0x1800 (transmit): 6000/1 UInt8 %I0, 6401/1 Int16 %I2
CanObject makeTestSlave(const QString &key);

// Everything of a slave a dialog may change, compared field by field.
bool sameSlave(const CanObject &a, const CanObject &b, QString *difference = nullptr);

// Every byte the memory book holds under key, as (area, offset): runs of
// neighbouring places merge in the book, so tests compare bytes, not runs.
QSet<QPair<int, int>> reservedBytes(const QString &key);
