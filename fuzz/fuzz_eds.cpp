// Any bytes as an EDS file: loading and every lookup must stay safe.
#include "eds/edsfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const std::unique_ptr<EdsFile> eds = loadEdsFromData(bytes);
    EdsEntry entry;
    QString name;
    for (const EdsObject &object : eds->objects) {
        eds->findEntry(object.entry.index, -1, entry);
        for (const EdsEntry &sub : object.subEntries) {
            eds->findEntry(sub.index, sub.subIndex, entry);
            eds->nameOf(sub.index, sub.subIndex, name);
            eds->configuredValueOf(sub.index, sub.subIndex, name);
        }
    }
    for (int index : {0x1400, 0x1800, 0x1A00})
        eds->pdoTransmissionType(index);
    eds->emcyCobId();
    eds->vendorId();
    eds->mappableEntries();
    eds->mappingEntries();
    eds->receivePdoObjects();
    eds->transmitPdoObjects();
    return 0;
}
