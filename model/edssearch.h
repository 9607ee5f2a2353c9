#pragma once

#include <QString>
#include <QStringList>

class CanObject;

// Where the EDS of a saved or compiled slave is looked for, in order: the
// stored path; "../eds/NAME", for a project moved with its eds folder; then
// NAME and "../eds/NAME" beside the station file (the station key is its path).
QStringList edsSearchPaths(const QString &stored, const QString &stationKey);

// Loads the first of those paths that opens into the slave; edsFile becomes
// that path. False when none opens: edsFile is then the stored path again, so
// that the next save keeps pointing at the file the user chose.
bool loadStoredEds(CanObject &slave, const QString &stored);
