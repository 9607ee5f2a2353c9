#pragma once

#include "plugin/canslave.h"

#include <QList>
#include <QStringList>

class CanObject;

// One symbol per mapped object of an integer type, in PDO and mapping order.
QList<MappingSymbol> buildMappingSymbols(const CanObject &slave);

// The symbol names of a slave's objects, in order. A name as it has always been
// made (slave's name and object's name, cut to 20 characters) is kept when a
// PLC program can declare it and no other object of the slave gets it;
// otherwise it is cleaned into such an identifier, with "_2", "_3"... for repeats.
QStringList symbolNames(const QString &slaveName, const QStringList &entryNames);
// A letter, or "_" and a letter or digit, first; then letters and digits, each
// run of them after the first led by at most one "_".
bool isPlcIdentifier(const QString &name);
