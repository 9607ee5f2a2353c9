// save, restore and recompile: the project stream and the configuration block
// as a host keeps and reads them back.

#include "commands.h"
#include "hostslave.h"
#include "pluginlibrary.h"

#include <basemodule.h>

namespace {
const QList<const char *> printExports = {"compile", "getInputMemMap", "getOutputMemMap", "getMappingSym"};
}

int runSave(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SlaveOptions o;
    if (!parseSlaveOptions(arguments, {"--node", "--station", "-o"}, "EDS file", o, err))
        return 2;
    HostSlave slave(plugin);
    if (!requireExports(plugin, {"save"}, err) || !slave.create(o, err))
        return 1;
    const QByteArray stream = plugin.get<canslave::SaveFn>("save")(slave.get());
    if (!writeFile(o.output, stream, err))
        return 1;
    out << o.output << ": " << stream.size() << " bytes\n";
    return 0;
}

int runRestore(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SlaveOptions o;
    if (!parseSlaveOptions(arguments, {"--station", "--creator-version"}, "project stream file", o, err))
        return 2;
    QByteArray stream;
    if (!requireExports(plugin, printExports + QList<const char *>{"restore", "releaseObject"}, err)
        || !readFile(o.input, stream, err))
        return 1;
    // The host's registry tells which software made the station file, and so the layout.
    if (o.creatorVersion >= 0)
        setHwFileCreatedVerNum(o.station, o.creatorVersion);
    HostSlave slave(plugin);
    slave.reset(plugin.get<canslave::RestoreFn>("restore")(stream, o.station));
    if (!slave.get()) {
        err << o.input << ": the plug-in restored no slave\n";
        return 1;
    }
    printSlave(plugin, slave.get(), out);
    return 0;
}

int runRecompile(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SlaveOptions o;
    if (!parseSlaveOptions(arguments, {"--station"}, "configuration block file", o, err))
        return 2;
    QByteArray block;
    if (!requireExports(plugin, printExports + QList<const char *>{"recompile", "releaseObject"}, err)
        || !readFile(o.input, block, err))
        return 1;
    int code = 0;
    HostSlave slave(plugin);
    slave.reset(plugin.get<canslave::RecompileFn>("recompile")(block, o.station, &code));
    out << "Recompile code: " << code << '\n';
    if (!slave.get())
        return 1;
    out << '\n';
    printSlave(plugin, slave.get(), out);
    return code == 0 ? 0 : 1;
}
