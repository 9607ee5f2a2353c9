#pragma once

#include <QString>

// The short name of a CiA 301 data type code as the tables show it ("UInt16");
// "Unknown" for a code without one.
QString dataTypeText(int dataType);

// An object's size in bytes for the tables: empty when its type has no fixed size.
QString dataSizeText(int dataType);
