// show and compile: create a slave from an EDS through the exports, as a host
// does, and print or write what the host gets from it.

#include "commands.h"
#include "hostslave.h"
#include "pluginlibrary.h"

namespace {
const QList<const char *> printExports = {"compile", "getInputMemMap", "getOutputMemMap", "getMappingSym"};
}

int runShow(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SlaveOptions o;
    if (!parseSlaveOptions(arguments, {"--node", "--station"}, "EDS file", o, err))
        return 2;
    HostSlave slave(plugin);
    if (!requireExports(plugin, printExports, err) || !slave.create(o, err))
        return 1;
    printSlave(plugin, slave.get(), out);
    return 0;
}

int runCompile(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    SlaveOptions o;
    if (!parseSlaveOptions(arguments, {"--node", "--station", "-o"}, "EDS file", o, err))
        return 2;
    HostSlave slave(plugin);
    if (!requireExports(plugin, {"compile"}, err) || !slave.create(o, err))
        return 1;
    QByteArray block;
    CompileList unused;
    plugin.get<canslave::CompileFn>("compile")(slave.get(), block, unused);
    if (!writeFile(o.output, block, err))
        return 1;
    out << o.output << ": " << block.size() << " bytes\n";
    return 0;
}
