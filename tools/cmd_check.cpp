// check FILE...: what the reader makes of vendors' EDS files, compiler style.
#include "commands.h"

#include "eds/edsfile.h"

namespace {

struct EdsCounts {
    int objects = 0;
    int subIndexes = 0;
};

EdsCounts countEntries(const EdsFile &eds)
{
    EdsCounts counts;
    counts.objects = eds.objects.size();
    for (const EdsObject &object : eds.objects)
        counts.subIndexes += object.subEntries.size();
    for (const EdsSubEntryGroup &group : eds.pendingSubEntries)
        counts.subIndexes += group.entries.size();
    return counts;
}

} // namespace

int runCheck(Plugin &, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    bool strict = false;
    QStringList files;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--strict"))
            strict = true;
        else
            files.append(argument);
    }
    if (files.isEmpty()) {
        err << "usage: canslave-host check [--strict] FILE...\n";
        return 2;
    }

    bool unreadable = false;
    bool diagnosed = false;
    for (const QString &path : qAsConst(files)) {
        const std::unique_ptr<EdsFile> eds = loadEds(path);
        if (!eds) {
            err << path << ": cannot be opened as an EDS file (missing, not a regular file, or over "
                << maxEdsFileSize / (1024 * 1024) << " MiB)\n";
            unreadable = true;
            continue;
        }
        for (const EdsDiagnostic &diagnostic : eds->diagnostics)
            out << path << ':' << diagnostic.line << ": " << diagnostic.text << '\n';
        if (eds->diagnosticCount > eds->diagnostics.size())
            out << path << ": " << eds->diagnosticCount - eds->diagnostics.size()
                << " further diagnostics not shown\n";
        const EdsCounts counts = countEntries(*eds);
        out << path << ": " << counts.objects << " objects, " << counts.subIndexes << " sub-indexes, "
            << eds->receivePdoObjects().size() << " receive PDOs, "
            << eds->transmitPdoObjects().size() << " transmit PDOs, "
            << eds->mappableEntries().size() << " mappable entries, "
            << eds->diagnosticCount << " diagnostics\n";
        diagnosed = diagnosed || eds->diagnosticCount > 0;
    }
    if (unreadable)
        return 2;
    return strict && diagnosed ? 1 : 0;
}
