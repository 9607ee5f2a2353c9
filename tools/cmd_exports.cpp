#include "commands.h"
#include "pluginlibrary.h"

int runExports(Plugin &plugin, const QStringList &, QTextStream &out, QTextStream &err)
{
    out << "Plug-in: " << plugin.path() << '\n';
    for (const QString &name : plugin.resolved())
        out << "  " << name << '\n';
    out << plugin.resolved().size() << " exports resolved";
    if (!plugin.missing().isEmpty()) {
        out << ", " << plugin.missing().size() << " missing";
        for (const QString &name : plugin.missing())
            err << "missing export: " << name << '\n';
    }
    out << '\n';
    return plugin.missing().isEmpty() ? 0 : 1;
}
