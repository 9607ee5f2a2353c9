#pragma once

#include <QString>

// The slave's name as the device page shows it and as the slave keeps it: the
// placeholder a slave gets when its EDS is lost is shown in the dialog's
// language but kept as it is, since hosts and mapping symbols read it.
QString shownSlaveName(const QString &stored);
QString storedSlaveName(const QString &shown);
