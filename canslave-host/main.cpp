// canslave-host COMMAND ...: a reference host for the canslave plug-in.

#include "arguments.h"
#include "commands.h"
#include "pluginlibrary.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <unistd.h>

using namespace refhost;

namespace {

const Command *const commands[] = {&checkCommand, &exportsCommand, &showCommand, &compileCommand,
                                   &configureCommand, &saveCommand, &restoreCommand, &recompileCommand};

void printHelp(QTextStream &out)
{
    out << tr("Usage: canslave-host [--plugin PATH] COMMAND [ARGUMENTS]\n\n"
              "Loads the canslave plug-in as a host does and drives its exports.\n\n"
              "Commands:\n");
    for (const Command *command : commands)
        out << "  " << QString::fromLatin1(command->name).leftJustified(10) << ' ' << tr(command->summary) << '\n';
    out << tr("\nCOMMAND --help tells a command's arguments and exit status.\n"
              "The plug-in is found beside this program, or by --plugin or CANSLAVE_PLUGIN.\n");
}

// Only the interactive dialog needs a display; everything else runs off screen.
bool needsDisplay(const Command &command, const Arguments &arguments)
{
    return &command == &configureCommand && !arguments.has("--screenshot")
        && !arguments.has("--accept");
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Qt warns on stderr when the runtime folder is not set; give it one of ours,
// private as it wants it, so ordinary runs print only what they have to say.
void provideRuntimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString dir = QDir::temp().filePath(QStringLiteral("canslave-host-runtime-%1").arg(::getuid()));
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}

QtMessageHandler qtHandler = nullptr;

// The off-screen platform tells about every window it cannot size; that says
// nothing to whoever reads this program's output.
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    qtHandler(type, context, message);
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
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--plugin")) {
        if (arguments.size() < 2) {
            err << tr("canslave-host: --plugin needs a value: --plugin PATH") << '\n';
            return 2;
        }
        pluginPath = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help")
        || arguments.first() == QLatin1String("-h") || arguments.first() == QLatin1String("help")) {
        printHelp(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? 2 : 0;
    }

    const QString name = arguments.takeFirst();
    const Command *chosen = nullptr;
    for (const Command *command : commands) {
        if (name == QLatin1String(command->name))
            chosen = command;
    }
    if (!chosen) {
        err << tr("canslave-host: unknown command '%1' (see canslave-host --help)").arg(name) << '\n';
        return 2;
    }
    if (asksForHelp(arguments)) {
        printCommandHelp(*chosen, out);
        return 0;
    }
    Arguments parsed;
    if (!parseArguments(*chosen, arguments, parsed, err))
        return 2;
    if (needsDisplay(*chosen, parsed) && !hasDisplay()) {
        err << tr("canslave-host configure: no display to show the dialog on (DISPLAY is not set); "
                  "--screenshot DIR renders it without one")
            << '\n';
        return 2;
    }

    if (!needsDisplay(*chosen, parsed) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    provideRuntimeDir();
    qtHandler = qInstallMessageHandler(quietPlatform);
    // Qt would take --plugin for one of its own options: it sees only the program name.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    Plugin plugin;
    if (!plugin.load(pluginPath)) {
        err << tr("canslave-host: cannot load the plug-in: %1").arg(plugin.errorString()) << '\n';
        return 2;
    }
    const int status = chosen->run(plugin, parsed, out, err);
    out.flush();
    err.flush();
    return status;
}
