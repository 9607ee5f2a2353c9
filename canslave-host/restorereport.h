#pragma once

// What a host tells its user after restore: what of the stored slave did not come back.

#include <QTextStream>

namespace refhost {

struct RestoredSlave;
struct StreamSummary;

// Each problem is one line on err, prefixed with the file; true when the slave came back whole.
bool reportRestore(const QString &file, const StreamSummary &stored, const RestoredSlave &slave, QTextStream &err);

} // namespace refhost
