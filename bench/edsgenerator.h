#pragma once

#include <QByteArray>
#include <QtGlobal>

// A synthetic but realistic EDS of about approxBytes bytes: communication objects,
// PDOs, then manufacturer and profile objects mixing VAR, ARRAY and RECORD,
// CompactSubObj arrays with name sections, and every value syntax the reader knows.
// The same seed gives the same file.
QByteArray generateEds(qint64 approxBytes, quint32 seed);
