#pragma once

#include <QStringList>
#include <QTextStream>

class CanObject;
class Plugin;

// One sub-command of canslave-host. Returns the exit status.
struct Command {
    const char *name;
    const char *usage;
    const char *summary;
    int (*run)(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
};

int runCheck(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
int runExports(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
int runShow(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
int runCompile(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
int runConfigure(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);

// What a host sees of a slave: identity, PDOs and mappings, memory maps, symbols and block.
void printSlave(Plugin &plugin, CanObject *slave, QTextStream &out);
