#include "commands.h"
#include "pluginlibrary.h"

namespace refhost {

namespace {

int runExports(Plugin &plugin, const Arguments &, QTextStream &out, QTextStream &err)
{
    out << tr("Plug-in: %1").arg(plugin.path()) << '\n';
    for (const QString &name : plugin.resolved())
        out << "  " << name << '\n';
    out << tr("%1 exports resolved").arg(plugin.resolved().size());
    if (!plugin.missing().isEmpty()) {
        out << ", " << tr("%1 missing").arg(plugin.missing().size());
        for (const QString &name : plugin.missing())
            err << tr("missing export: %1").arg(name) << '\n';
    }
    out << '\n';
    return plugin.missing().isEmpty() ? 0 : 1;
}

} // namespace

const Command exportsCommand{"exports", Inputs::None, nullptr, "list the exports the plug-in offers", {}, runExports,
                             "Exit status: 0 every export resolved, 1 some are missing.\n"};

} // namespace refhost
