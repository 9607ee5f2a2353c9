#pragma once

// The sub-commands of canslave-host. Each declares its options in one table
// beside its code; main parses and checks them before any work is done.

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTextStream>

class Plugin;

namespace refhost {

inline QString tr(const char *text)
{
    return QCoreApplication::translate("canslave-host", text);
}

// What an option's value must be; checked before the command runs.
enum class Value {
    None,        // a flag
    Node,        // a node id, 1 to 127
    NodeList,    // "1-127", "5" or "1,3,8-10", each 1 to 127
    Number,      // a non-negative decimal number
    Text,        // any non-empty text
    OutputFile,  // a file to write, in an existing folder
    Folder,      // a folder, made when missing
    Language,    // "zh_CN" or "en"
};

struct Option {
    const char *name;       // "--node"
    Value value;
    const char *valueName;  // "N" in the usage, null for a flag
    const char *help;
    bool required = false;
    const char *defaultValue = nullptr;
};

// How many input files a command takes; each must be a readable file.
enum class Inputs { None, One, Many };

struct Arguments {
    QStringList inputs;
    QHash<QString, QString> options; // given options; a flag holds an empty value

    bool has(const char *name) const { return options.contains(QLatin1String(name)); }
    QString value(const char *name) const { return options.value(QLatin1String(name)); }
    int number(const char *name) const { return value(name).toInt(); }
};

struct Command {
    const char *name;
    Inputs inputs;
    const char *inputName;  // "EDS", "FILE", "STREAM", "BLOCK"
    const char *summary;
    QList<Option> options;
    int (*run)(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err);
    const char *details = nullptr; // further text for COMMAND --help
};

extern const Command checkCommand;
extern const Command exportsCommand;
extern const Command showCommand;
extern const Command compileCommand;
extern const Command configureCommand;
extern const Command saveCommand;
extern const Command restoreCommand;
extern const Command recompileCommand;

// Options shared by the commands that create a slave or print one.
Option nodeOption();
Option stationOption();
Option outputOption(const char *what);
QList<Option> printOptions(); // --json, --block

} // namespace refhost
