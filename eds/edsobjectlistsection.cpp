// [MandatoryObjects], [OptionalObjects], [ManufacturerObjects]: numbered index lists.
#include "eds/edsnumber.h"
#include "eds/edsreader.h"

void readObjectListSection(EdsReader &reader, EdsObjectList &target, QLatin1String sectionName)
{
    const auto numberOf = [](const QPair<qint32, quint32> &entry) { return entry.first; };
    EdsObjectList list;
    bool unsorted = false;
    readSectionLines(reader, [&](const EdsLine &line) {
        const EdsKeyValue kv = reader.splitKeyValue(line);
        if (equalsIgnoringCase(kv.key, QLatin1String("SupportedObjects"))) {
            if (const auto count = unsignedNumber(kv.value))
                list.supportedObjects = qint32(*count);
            else
                reader.diagnose(QStringLiteral("SupportedObjects data error %1").arg(kv.value), line.number);
            return;
        }
        const auto number = unsignedNumber(kv.key);
        const auto index = unsignedNumber(kv.value);
        if (!number || !index) {
            reader.diagnose(QStringLiteral("Line data error: %1").arg(line.text), line.number);
            return;
        }
        if (qint32(*number) < 0)
            return;
        appendKeyed(list.entries, qMakePair(qint32(*number), *index), numberOf, unsorted);
    });
    if (unsorted)
        sortKeyedKeepingLast(list.entries, numberOf);
    target = list;

    const int head = reader.sectionHeadLine();
    QVector<qint32> present;
    present.reserve(list.entries.size());
    for (const auto &entry : qAsConst(list.entries))
        present.append(entry.first);
    reportMissingNumbers(present, list.supportedObjects, [&](qint64 n) {
        reader.diagnose(QStringLiteral("Entry \"%1\" in section [%2] not found").arg(n).arg(sectionName), head);
    });
    for (qint32 n : qAsConst(present)) {
        if (n > list.supportedObjects)
            reader.diagnose(QStringLiteral("Unused entry \"%1\" in section [%2]").arg(n).arg(sectionName), head);
    }
}
