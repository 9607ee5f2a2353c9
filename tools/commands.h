#pragma once

#include <QStringList>
#include <QTextStream>

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
int runSave(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
int runRestore(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
int runRecompile(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err);
