#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct PDOConfig;
struct SDOEntry;

// The two inner lists of the project stream, each a stream of its own.

QByteArray writePdoListStream(const QList<PDOConfig> &pdos);
// Re-claims each mapped object's stored place under key as it is read; a place
// already taken elsewhere is not reported: the object keeps it without holding it.
// What the model could never have made is not taken over: a PDO whose direction
// does not fit its index or that maps more than 8 bytes is left out, an object
// whose length is not its data type's comes back without a place.
QList<PDOConfig> readPdoListStream(const QByteArray &bytes, const QString &key);

QByteArray writeSdoListStream(const QList<SDOEntry> &sdos);
// Projects made before the SDO value text existed store SDOs without it.
QList<SDOEntry> readSdoListStream(const QByteArray &bytes, bool withDataText);
