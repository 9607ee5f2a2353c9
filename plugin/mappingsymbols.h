#pragma once

#include "plugin/canslave.h"

#include <QList>

class CanObject;

// One symbol per mapped object of an integer type, in PDO and mapping order.
QList<MappingSymbol> buildMappingSymbols(const CanObject &slave);
