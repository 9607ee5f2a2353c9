#include "slavereport.h"

#include "commands.h"
#include "memmaprecords.h"
#include "pluginlibrary.h"
#include "slaveinsides.h"


#include <basemodule.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace refhost {

QString placeText(int area, int offset)
{
    // A block may give an object an offset without an area: it has no place either.
    if (area < 0 || offset < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(offset);
}

namespace {

QJsonArray memoryMap(const QList<MemMapRecord> &records, bool outputs)
{
    QJsonArray list;
    for (const MemMapRecord &r : records) {
        QJsonObject o{{"place", placeText(r.area, r.offset)}, {"lengthBytes", r.length}};
        if (outputs)
            o.insert(QStringLiteral("clearWhenStop"), r.clearWhenStop);
        list.append(o);
    }
    return list;
}

// Symbols whose slave name and object name together pass the 20 characters a
// symbol keeps, told from the symbols' comments: the slave's name, " 16#", index,
// "_", sub-index, "_" and the object's name.
int cutSymbolCount(const QString &slaveName, const QList<MappingSymbol> &symbols)
{
    constexpr int maxSymbolLength = 20;
    int count = 0;
    for (const MappingSymbol &m : symbols) {
        const QString objectName = m.comment.mid(slaveName.size()).section(QLatin1Char('_'), 2);
        count += slaveName.size() + QString(objectName).remove(QLatin1Char(' ')).size() > maxSymbolLength;
    }
    return count;
}

} // namespace

QJsonObject slaveReport(const Plugin &plugin, CanObject *slave, bool withBlock)
{
    // What the exports do not tell, read from inside the handle.
    QJsonObject report = slaveInsidesReport(slave);

    report.insert(QStringLiteral("inputMemoryMap"), memoryMap(memMapRecords(plugin, slave, false), false));
    report.insert(QStringLiteral("outputMemoryMap"), memoryMap(memMapRecords(plugin, slave, true), true));
    QList<MappingSymbol> symbols;
    plugin.get<canslave::GetMappingSymFn>("getMappingSym")(slave, &symbols);
    QJsonArray symbolList;
    for (const MappingSymbol &m : qAsConst(symbols))
        symbolList.append(QJsonObject{{"name", m.name}, {"address", m.address}, {"comment", m.comment}});
    report.insert(QStringLiteral("symbols"), symbolList);
    report.insert(QStringLiteral("symbolsCut"),
                  cutSymbolCount(plugin.get<canslave::GetStringFn>("getName")(slave), symbols));

    QByteArray block;
    CompileList unused;
    plugin.get<canslave::CompileFn>("compile")(slave, block, unused);
    QJsonObject blockObject{{"sizeBytes", block.size()}};
    if (withBlock)
        blockObject.insert(QStringLiteral("hex"), QString::fromLatin1(block.toHex().toUpper()));
    report.insert(QStringLiteral("configurationBlock"), blockObject);
    return report;
}

void printSlave(const Plugin &plugin, CanObject *slave, const PrintChoice &choice, QTextStream &out)
{
    const QJsonObject report = slaveReport(plugin, slave, choice.block);
    if (choice.json)
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    else
        printReportText(report, out);
}

} // namespace refhost
