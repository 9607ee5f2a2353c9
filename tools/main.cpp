// canslave-host COMMAND ...: a reference host for the canslave plug-in.

#include "commands.h"
#include "pluginlibrary.h"

#include <QApplication>
#include <QTextStream>

#include <cstdio>

namespace {

const Command commands[] = {
    {"check", "check [--strict] FILE...", "read EDS files and report every problem found", runCheck},
    {"exports", "exports", "list the exports the plug-in offers", runExports},
    {"show", "show EDS [--node N] [--station KEY]", "create a slave and print its configuration, maps, symbols and block", runShow},
    {"compile", "compile EDS --node N -o FILE", "create a slave and write its configuration block", runCompile},
    {"configure", "configure EDS [--node N] [--nodes 1-127] [--read-only] [--lang zh_CN|en] [--screenshot DIR]",
     "create a slave, open the configuration dialog and print the slave after OK", runConfigure},
    {"save", "save EDS --node N -o FILE", "create a slave and write its project stream", runSave},
    {"restore", "restore FILE [--creator-version V] [--station KEY]", "restore a slave from a project stream and print it", runRestore},
    {"recompile", "recompile BLOCK [--station KEY]", "rebuild a slave from a configuration block, print the code and the slave", runRecompile},
};

void printHelp(QTextStream &out)
{
    out << "Usage: canslave-host [--plugin PATH] COMMAND [ARGUMENTS]\n\n"
           "Loads the canslave plug-in as a host does and drives its exports.\n\n"
           "Commands:\n";
    for (const Command &command : commands)
        out << "  " << QString::fromLatin1(command.usage).leftJustified(44) << ' '
            << command.summary << '\n';
    out << "\nThe plug-in is found beside this program, or by --plugin or CANSLAVE_PLUGIN.\n";
}

// Screenshots are rendered off screen, so only an interactive dialog needs a display.
bool needsDisplay(const QString &command, const QStringList &arguments)
{
    return command == QLatin1String("configure") && !arguments.contains(QLatin1String("--screenshot"));
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QTextStream out(stdout);
    QTextStream err(stderr);

    QString pluginPath = defaultPluginPath();
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--plugin")) {
        pluginPath = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help")
        || arguments.first() == QLatin1String("-h") || arguments.first() == QLatin1String("help")) {
        printHelp(out);
        return arguments.isEmpty() ? 2 : 0;
    }

    const QString name = arguments.takeFirst();
    const Command *chosen = nullptr;
    for (const Command &command : commands) {
        if (name == QLatin1String(command.name))
            chosen = &command;
    }
    if (!chosen) {
        err << "canslave-host: unknown command '" << name << "'\n";
        printHelp(err);
        return 2;
    }

    // The plug-in needs a QApplication for its dialog; the other commands run without a display.
    if (!needsDisplay(name, arguments) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    Plugin plugin;
    if (!plugin.load(pluginPath)) {
        err << "canslave-host: cannot load the plug-in: " << plugin.errorString() << '\n';
        return 2;
    }
    const int status = chosen->run(plugin, arguments, out, err);
    out.flush();
    err.flush();
    return status;
}
