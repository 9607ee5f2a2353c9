// show and compile: create a slave from an EDS through the exports, as a host
// does, and print or write what the host gets from it.

#include "commands.h"
#include "hostslave.h"
#include "pluginlibrary.h"
#include "slavereport.h"

namespace refhost {

namespace {

int runShow(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    HostSlave slave(plugin);
    if (!requireExports(plugin, printExports() + QList<const char *>{"createCanObject"}, err)
        || !slave.create(arguments, err))
        return 1;
    printSlave(plugin, slave.get(), printChoice(arguments), out);
    return 0;
}

int runCompile(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    HostSlave slave(plugin);
    if (!requireExports(plugin, {"compile", "createCanObject", "releaseObject"}, err)
        || !slave.create(arguments, err))
        return 1;
    QByteArray block;
    CompileList unused;
    plugin.get<canslave::CompileFn>("compile")(slave.get(), block, unused);
    const QString output = arguments.value("-o");
    if (!writeFile(output, block, err))
        return 1;
    out << tr("%1: configuration block of %2 bytes").arg(output).arg(block.size()) << '\n';
    return 0;
}

} // namespace

const Command showCommand{
    "show", Inputs::One, "EDS",
    "create a slave from an EDS as a host does and print its configuration, memory map and symbols",
    QList<Option>{nodeOption(), stationOption()} + printOptions(),
    runShow,
    "Exit status: 0 printed, 1 the plug-in made no slave of the file, 2 wrong arguments.\n"};

const Command compileCommand{
    "compile", Inputs::One, "EDS", "create a slave from an EDS and write its configuration block",
    {nodeOption(), stationOption(), outputOption("where to write the block")},
    runCompile,
    "Exit status: 0 written, 1 no slave or the file could not be written, 2 wrong arguments.\n"};

} // namespace refhost
