// save, restore and recompile: the project stream and the configuration block
// as a host keeps and reads them back, telling on stderr what did not come back.

#include "commands.h"
#include "hostslave.h"
#include "pluginlibrary.h"
#include "slaveinsides.h"
#include "slavereport.h"
#include "streamsummary.h"

#include "eds/edsentry.h"

#include <basemodule.h>

#include <QFileInfo>

namespace refhost {

namespace {

constexpr int firstCurrentLayoutVersion = 2009;

int runSave(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    HostSlave slave(plugin);
    if (!requireExports(plugin, {"save"}, err) || !slave.create(arguments, err))
        return 1;
    const QByteArray stream = plugin.get<canslave::SaveFn>("save")(slave.get());
    const QString output = arguments.value("-o");
    if (!writeFile(output, stream, err))
        return 1;
    out << tr("%1: project stream of %2 bytes").arg(output).arg(stream.size()) << '\n';
    return 0;
}

// Each problem is one line on err; true when the slave came back whole.
bool reportRestore(const QString &file, const StreamSummary &stored, const RestoredSlave &slave, QTextStream &err)
{
    bool whole = true;
    const auto problem = [&](const QString &text) {
        err << file << ": " << text << '\n';
        whole = false;
    };
    if (!stored.complete)
        problem(tr("the stream is cut short; whatever it lacks is left empty"));
    if (stored.unreadBytes > 0)
        problem(tr("%1 bytes after the end of the stream were not read").arg(stored.unreadBytes));
    if (!QFileInfo(slave.edsFile).isFile()) {
        QString where = QLatin1Char('"') + stored.edsFile + QLatin1Char('"');
        if (slave.edsFile != stored.edsFile)
            where += tr(" nor at \"%1\"").arg(slave.edsFile);
        problem(tr("EDS file not found at %1; the slave \"%2\" has no EDS").arg(where, slave.name));
    } else if (!slave.hasEds) {
        problem(tr("the EDS file \"%1\" is there but cannot be read as an EDS; the slave \"%2\" has no EDS")
                    .arg(slave.edsFile, slave.name));
    } else if (slave.edsFile != stored.edsFile) {
        err << file << ": " << tr("the EDS was not at \"%1\"; it was read from \"%2\"").arg(stored.edsFile, slave.edsFile)
            << '\n';
    }
    // What the plug-in did not take over, as the model could never have made it.
    for (const quint32 commIndex : stored.pdoIndexes) {
        if (!slave.pdoIndexes.contains(commIndex))
            problem(tr("PDO 0x%1 is left out: its direction does not fit its index, or it maps more than 8 bytes")
                        .arg(commIndex, 0, 16));
    }
    for (const StoredPlace &o : stored.placedObjects) {
        for (const MappedObject &m : slave.mapped) {
            if (m.commIndex == o.commIndex && m.index == o.index && m.subIndex == o.subIndex && !m.placed)
                problem(tr("object 0x%1 sub %2 of PDO 0x%3 comes back without its PLC place: its stored length is "
                           "not the size of its data type")
                            .arg(o.index, 0, 16).arg(o.subIndex).arg(o.commIndex, 0, 16));
        }
    }
    // The stream keeps what the user mapped; an EDS changed since then no longer agrees.
    for (const MappedObject &m : slave.mapped) {
        if (!slave.hasEds)
            break;
        const int now = slave.mappableTypes.value(mappableKey(m.index, m.subIndex), -1);
        if (now < 0)
            problem(tr("object 0x%1 sub %2 of PDO 0x%3 is no longer a mappable object of the EDS")
                        .arg(m.index, 0, 16).arg(m.subIndex).arg(m.commIndex, 0, 16));
        else if (now != m.dataType)
            problem(tr("object 0x%1 sub %2 of PDO 0x%3 is stored with data type 0x%4, the EDS now gives 0x%5")
                        .arg(m.index, 0, 16).arg(m.subIndex).arg(m.commIndex, 0, 16)
                        .arg(m.dataType, 4, 16, QLatin1Char('0')).arg(now, 4, 16, QLatin1Char('0')));
    }
    if (stored.pdoCount != slave.pdoCount || stored.sdoCount != slave.sdoCount)
        problem(tr("the stream holds %1 PDOs and %2 SDOs, the restored slave %3 PDOs and %4 SDOs")
                    .arg(stored.pdoCount).arg(stored.sdoCount).arg(slave.pdoCount).arg(slave.sdoCount));
    return whole;
}

int runRestore(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString file = arguments.inputs.first();
    const QString station = arguments.value("--station");
    QByteArray stream;
    if (!requireExports(plugin, printExports() + QList<const char *>{"restore"}, err) || !readFile(file, stream, err))
        return 1;
    // The host's registry tells which software made the station file, and so the layout.
    if (arguments.has("--creator-version"))
        setHwFileCreatedVerNum(station, arguments.number("--creator-version"));
    const StreamSummary stored = summarizeStream(stream, getHwFileCreatedVerNum(station) >= firstCurrentLayoutVersion);
    if (!stored.isStream) {
        err << tr("%1: not a project stream (save writes them; recompile reads a configuration block)").arg(file)
            << '\n';
        return 1;
    }
    HostSlave slave(plugin);
    slave.reset(plugin.get<canslave::RestoreFn>("restore")(stream, station));
    const bool whole = reportRestore(file, stored, restoredSlave(slave.get()), err);
    printSlave(plugin, slave.get(), printChoice(arguments), out);
    return whole ? 0 : 1;
}

// The plug-in takes each mapped object's length from the EDS as it is now: an
// object whose type changed takes other bytes than the block gives it.
void reportChangedTypes(const QString &file, const QByteArray &block, const QString &station, QTextStream &err)
{
    QHash<quint32, int> types;
    if (!mappableTypesOf(blockEdsPath(block), station, types))
        return;
    for (const BlockObject &o : blockObjects(block)) {
        const int now = types.value(mappableKey(o.index, o.subIndex), -1);
        if (now >= 0 && dataTypeSize(now) != o.length)
            err << tr("%1: object 0x%2 sub %3 of PDO 0x%4 is stored with %5 bytes, the EDS now gives it data type "
                      "0x%6 of %7 bytes")
                       .arg(file).arg(o.index, 0, 16).arg(o.subIndex).arg(o.commIndex, 0, 16).arg(o.length)
                       .arg(now, 4, 16, QLatin1Char('0')).arg(dataTypeSize(now))
                << '\n';
    }
}

int runRecompile(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString file = arguments.inputs.first();
    QByteArray block;
    if (!requireExports(plugin, printExports() + QList<const char *>{"recompile"}, err) || !readFile(file, block, err))
        return 1;
    int code = 0;
    HostSlave slave(plugin);
    slave.reset(plugin.get<canslave::RecompileFn>("recompile")(block, arguments.value("--station"), &code));
    if (code == 128)
        err << tr("%1: code 128: the EDS the block names, \"%2\", cannot be loaded; \"%3\" keeps only what the "
                  "block holds, without the EDS's names and limits")
                   .arg(file, blockEdsPath(block), slave.get() ? restoredSlave(slave.get()).name : QString())
            << '\n';
    else if (code != 0)
        err << tr("%1: code %2: %3; no slave").arg(file).arg(code).arg(recompileCodeText(code)) << '\n';
    if (code != 0 && code != 128)
        reportChangedTypes(file, block, arguments.value("--station"), err);
    const int unread = blockUnreadBytes(block);
    if (unread > 0)
        err << tr("%1: %2 bytes after the end of the block were not read").arg(file).arg(unread) << '\n';
    if (slave.get())
        printSlave(plugin, slave.get(), printChoice(arguments), out);
    return code == 0 && slave.get() && unread == 0 ? 0 : 1;
}

} // namespace

const Command saveCommand{
    "save", Inputs::One, "EDS", "create a slave from an EDS and write its project stream",
    {nodeOption(), stationOption(), {"-o", Value::OutputFile, "FILE", "where to write the stream", true}},
    runSave,
    "Exit status: 0 written, 1 no slave or the file could not be written, 2 wrong arguments.\n"};

const Command restoreCommand{
    "restore", Inputs::One, "STREAM", "restore a slave from a project stream and print it as show does",
    QList<Option>{stationOption(),
                  {"--creator-version", Value::Number, "V",
                   "version of the software that made the station file: 2009 and later read the current layout"}}
        + printOptions(),
    runRestore,
    "What did not come back (a stream cut short, bytes left over, the EDS not found, PDOs or SDOs\n"
    "dropped, a PDO or a place that the slave could never have had, an EDS that cannot be read or\n"
    "that no longer offers a mapped object with its type) is said on stderr.\n"
    "Exit status: 0 the whole slave came back, 1 it did not or the file is no project stream,\n"
    "2 wrong arguments.\n"};

const Command recompileCommand{
    "recompile", Inputs::One, "BLOCK", "rebuild a slave from a configuration block against its EDS and print it",
    QList<Option>{stationOption()} + printOptions(),
    runRecompile,
    "The plug-in's result code and its meaning go to stderr when it is not 0:\n"
    "  1 block cut short or damaged, or a memory place taken; 3 a PDO the EDS does not define;\n"
    "  4 an object that cannot be mapped; 5 a COB-ID that differs from the EDS; 6 bytes left over;\n"
    "  128 the EDS cannot be loaded: the slave keeps what the block holds.\n"
    "Exit status: 0 for code 0, 1 for any other code, 2 wrong arguments.\n"};

} // namespace refhost
