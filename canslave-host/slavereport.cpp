#include "slavereport.h"

#include "commands.h"
#include "pluginlibrary.h"
#include "slaveinsides.h"


#include <basemodule.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace refhost {

QString placeText(int area, int offset)
{
    if (area < 0 || offset < 0)
        return QStringLiteral("-");
    return QStringLiteral("%1,%2").arg(getMemName(VarArea(area))).arg(offset);
}

namespace {

// Bytes of one record of the memory map the plug-in reports: inputs have no "clear when stop".
constexpr int inputRecordBytes = 6;
constexpr int outputRecordBytes = 7;

QJsonArray memoryMap(const QByteArray &map, int width)
{
    QJsonArray list;
    for (int i = 0; i + width <= map.size(); i += width) {
        const auto b = [&](int k) { return quint8(map.at(i + k)); };
        const QString place = placeText(b(3), (b(4) << 8) | b(5));
        const int length = b(2);
        QJsonObject o{{"place", place}, {"lengthBytes", length}};
        if (width == outputRecordBytes)
            o.insert(QStringLiteral("clearWhenStop"), b(6) == 0);
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

    int count = 0;
    const QByteArray inputs = plugin.get<canslave::GetMemMapFn>("getInputMemMap")(slave, &count);
    const QByteArray outputs = plugin.get<canslave::GetMemMapFn>("getOutputMemMap")(slave, &count);
    report.insert(QStringLiteral("inputMemoryMap"), memoryMap(inputs, inputRecordBytes));
    report.insert(QStringLiteral("outputMemoryMap"), memoryMap(outputs, outputRecordBytes));
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
