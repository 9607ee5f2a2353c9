#include "ui/configureslave.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "ui/canslavedlg.h"
#include "ui/dialogtranslator.h"
#include "ui/paralistpage.h"
#include "ui/pdopage.h"
#include "ui/sdopage.h"
#include "ui/slaveinfopage.h"

namespace {

// Fixed tab positions; the PDO and SDO pages sit between these two.
enum SlaveTab { DeviceTab, PdoTab, SdoTab, MappingTab };

void addSlavePages(CanSlaveDlg &dialog, const QList<int> &nodeIds)
{
    dialog.addPage(DeviceTab, new SlaveInfoPage(nodeIds, &dialog),
                   CanSlaveDlg::tr("CANopen Slave Device"));
    dialog.addPage(PdoTab, new PDOpage(&dialog), CanSlaveDlg::tr("PDO Config"));
    dialog.addPage(SdoTab, new SdoPage(&dialog), CanSlaveDlg::tr("SDO Config"));
    dialog.addPage(MappingTab, new ParaListPage(&dialog), CanSlaveDlg::tr("CANopen I/O Mapping"));
}

} // namespace

int configureSlave(CanObject *slave, const QList<int> &nodeIds, QWidget *parent, bool readOnly)
{
    // A host that hands over no slave gets "nothing changed" instead of a crash.
    if (!slave)
        return 1;

    // Speaks the help's language while the dialog lives, and only then.
    const DialogTranslator translator;
    // The pages edit the copy; only OK lets it replace the host's slave.
    // Declared first so that it outlives the pages that borrow it.
    CanObject workingCopy(*slave);
    CanSlaveDlg dialog(parent, readOnly);
    // Read-only, the dialog can still be browsed and edited: the title says that OK is not for it.
    dialog.setWindowTitle(readOnly ? CanSlaveDlg::tr("CANopen Slave Config (read-only)")
                                   : CanSlaveDlg::tr("CANopen Slave Config"));
    addSlavePages(dialog, nodeIds);

    const QString key = slave->projectKey;
    saveMemoryUsedState(key);
    // Read-only accepts nothing, even if the dialog was somehow accepted.
    bool accepted;
    try {
        accepted = dialog.run(&workingCopy) && !readOnly;
    } catch (...) {
        // The export reports a cancel; the book must say so too.
        restoreMemoryUsedState(key);
        throw;
    }
    if (accepted) {
        deleteMemoryUsedState(key);
        *slave = workingCopy;
        return 0;
    }
    restoreMemoryUsedState(key);
    return 1;
}
