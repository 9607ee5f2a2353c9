#pragma once

#include <QList>

class CanObject;
class QWidget;

// Lets the user edit the slave in the modal configuration dialog, on a working
// copy inside a snapshot of the station's memory book. 0: accepted, the slave
// holds the edits. 1: cancelled (or read-only), slave and memory book as before.
int configureSlave(CanObject *slave, const QList<int> &nodeIds, QWidget *parent, bool readOnly);
