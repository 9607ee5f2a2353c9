// save, restore and recompile: the project stream and the configuration block
// as a host keeps and reads them back, telling on stderr what did not come back.

#include "blocklayout.h"
#include "commands.h"
#include "filekind.h"
#include "hostslave.h"
#include "pluginlibrary.h"
#include "restorereport.h"
#include "slaveinsides.h"
#include "slavereport.h"
#include "streamsummary.h"
#include "takenplaces.h"

#include "eds/edsentry.h"

#include <basemodule.h>

namespace refhost {

namespace {

constexpr int firstCurrentLayoutVersion = 2009;

int runSave(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    HostSlave slave(plugin);
    if (!requireExports(plugin, {"save", "createCanObject", "releaseObject"}, err)
        || !slave.create(arguments, err))
        return 1;
    const QByteArray stream = plugin.get<canslave::SaveFn>("save")(slave.get());
    const QString output = arguments.value("-o");
    if (!writeFile(output, stream, err))
        return 1;
    out << tr("%1: project stream of %2 bytes").arg(output).arg(stream.size()) << '\n';
    return 0;
}

// A copy restored into the station of its original finds the original's places
// taken: the host then has to give it places of its own.
bool replaceTakenPlaces(Plugin &plugin, const QString &file, CanObject *slave, QTextStream &err)
{
    const auto stored = mappedPlaces(slave);
    const bool placed = plugin.get<canslave::AutoMallocFn>("autoMallocInMap")(slave)
                        && plugin.get<canslave::AutoMallocFn>("autoMallocOutMap")(slave);
    const auto now = mappedPlaces(slave);
    for (int i = 0; i < now.size(); ++i) {
        if (now.at(i).second != stored.at(i).second)
            err << file << ": " << tr("%1: stored place %2 taken, now at %3").arg(now.at(i).first, stored.at(i).second, now.at(i).second)
                << '\n';
    }
    if (!placed)
        err << file << ": " << tr("not every mapped object found a free place; the others keep their stored places") << '\n';
    return placed;
}

int runRestore(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString file = arguments.inputs.first();
    const QString station = arguments.value("--station");
    QByteArray stream;
    QByteArray beside;
    if (!requireExports(plugin, printExports() + QList<const char *>{"restore", "autoMallocInMap", "autoMallocOutMap"}, err)
        || !readFile(file, stream, err))
        return 1;
    const bool withBeside = arguments.has("--beside");
    if (withBeside && !readFile(arguments.value("--beside"), beside, err))
        return 1;
    // The host's registry tells which software made the station file, and so the layout.
    if (arguments.has("--creator-version"))
        setHwFileCreatedVerNum(station, arguments.number("--creator-version"));
    const StreamSummary stored = summarizeStream(stream, getHwFileCreatedVerNum(station) >= firstCurrentLayoutVersion);
    if (!stored.isStream) {
        err << file << ": "
            << (looksLikeBlock(stream) ? wrongKindText(FileKind::Block, FileKind::Stream)
                                       : tr("not a project stream (save writes them; recompile reads a configuration block)"))
            << '\n';
        return 1;
    }
    HostSlave other(plugin);
    if (arguments.has("--beside"))
        other.reset(plugin.get<canslave::RestoreFn>("restore")(beside, station));
    const QList<MemoryReservation> heldBefore = memoryReservations(station);
    HostSlave slave(plugin);
    slave.reset(plugin.get<canslave::RestoreFn>("restore")(stream, station));
    bool whole = reportRestore(file, stored, restoredSlave(slave.get()), err);
    const int unclaimed = takenPlaceCount(plugin, slave.get(), heldBefore);
    if (unclaimed > 0) {
        if (arguments.has("--replace")) {
            whole = replaceTakenPlaces(plugin, file, slave.get(), err) && whole;
        } else {
            err << file << ": "
                << tr("%1 mapped objects could not claim their stored memory place, which another slave of the "
                      "station holds (--replace gives them new ones)").arg(unclaimed)
                << '\n';
            whole = false;
        }
    }
    printSlave(plugin, slave.get(), printChoice(arguments), out);
    return whole ? 0 : 1;
}

// The plug-in takes each mapped object's length from the EDS as it is now: an
// object whose type changed takes other bytes than the block gives it, also in
// a slave that comes back. Returns how many objects it named.
int reportChangedTypes(const QString &file, const BlockLayout &block, const QString &station, QTextStream &err)
{
    int changed = 0;
    QHash<quint32, int> types;
    if (!mappableTypesOf(block.edsPath, station, types))
        return changed;
    for (const BlockObject &o : blockObjects(block)) {
        const auto found = types.constFind(mappableKey(o.index, o.subIndex));
        if (found == types.cend() || dataTypeSize(*found) == o.length)
            continue;
        const int now = *found;
        ++changed;
        err << tr("%1: object 0x%2 sub %3 of PDO 0x%4 is stored with %5 bytes, the EDS now gives it data type "
                  "0x%6 of %7 bytes")
                   .arg(file).arg(o.index, 0, 16).arg(o.subIndex).arg(o.commIndex, 0, 16).arg(o.length)
                   .arg(now, 4, 16, QLatin1Char('0')).arg(dataTypeSize(now))
            << '\n';
    }
    return changed;
}

int runRecompile(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString file = arguments.inputs.first();
    QByteArray block;
    if (!requireExports(plugin, printExports() + QList<const char *>{"recompile"}, err)
        || !readFile(file, block, err))
        return 1;
    if (fileKind(block) == FileKind::Stream) {
        err << file << ": " << wrongKindText(FileKind::Stream, FileKind::Block) << '\n';
        return 1;
    }
    const BlockLayout layout = blockLayout(block);
    int code = 0;
    HostSlave slave(plugin);
    slave.reset(plugin.get<canslave::RecompileFn>("recompile")(block, arguments.value("--station"), &code));
    if (code == 128)
        err << tr("%1: code 128: the EDS the block names, \"%2\", cannot be loaded; \"%3\" keeps only what the "
                  "block holds, without the EDS's names and limits")
                   .arg(file, layout.edsPath, slave.get() ? restoredSlave(slave.get()).name : QString())
            << '\n';
    else if (code != 0)
        err << tr("%1: code %2: %3; no slave").arg(file).arg(code).arg(recompileCodeText(code)) << '\n';
    const int changed = reportChangedTypes(file, layout, arguments.value("--station"), err);
    const int unread = unreadBytes(layout);
    if (unread > 0)
        err << tr("%1: %2 bytes after the end of the block were not read").arg(file).arg(unread) << '\n';
    if (slave.get())
        printSlave(plugin, slave.get(), printChoice(arguments), out);
    return code == 0 && slave.get() && unread == 0 && changed == 0 ? 0 : 1;
}

} // namespace

const Command saveCommand{
    "save", Inputs::One, "EDS", "create a slave from an EDS and write its project stream",
    {nodeOption(), stationOption(), outputOption("where to write the stream")},
    runSave,
    "Exit status: 0 written, 1 no slave or the file could not be written, 2 wrong arguments.\n"};

const Command restoreCommand{
    "restore", Inputs::One, "STREAM", "restore a slave from a project stream and print it as show does",
    QList<Option>{stationOption(),
                  {"--creator-version", Value::Number, "V",
                   "version of the software that made the station file: 2009 and later read the current layout"}}
        + QList<Option>{{"--beside", Value::Text, "STREAM",
                         "restore STREAM into the station first, as a slave already there"},
                        {"--replace", Value::None, nullptr,
                         "give mapped objects whose stored place is taken new places (autoMallocInMap/OutMap)"}}
        + printOptions(),
    runRestore,
    "What did not come back (a stream cut short, bytes left over, the EDS not found, PDOs or SDOs\n"
    "dropped, a PDO or a place that the slave could never have had, an EDS that cannot be read or\n"
    "that no longer offers a mapped object with its type, stored memory places another slave holds)\n"
    "is said on stderr; with --replace the objects whose places are taken get new ones, each said\n"
    "on stderr.\n"
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
    "An object whose data type in the EDS now has another size than the block stores is named.\n"
    "Exit status: 0 for code 0 with nothing named, 1 otherwise, 2 wrong arguments.\n"};

} // namespace refhost
