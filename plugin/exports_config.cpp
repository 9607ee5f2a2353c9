// The configuration export: a shell around the dialog.

#include "plugin/canslave.h"

#include "ui/configureslave.h"

int configCanObject(CanObject *slave, const QList<int> &nodeIds, QWidget *parent, bool readOnly)
{
    try {
        return configureSlave(slave, nodeIds, parent, readOnly);
    } catch (...) {
        return 1;
    }
}
