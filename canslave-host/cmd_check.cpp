// check FILE...: what the reader makes of vendors' EDS files, compiler style,
// with a severity for each finding and the checks a configuration depends on.
#include "checkfindings.h"
#include "commands.h"
#include "edssource.h"

#include "eds/edsfile.h"

#include <QFile>

#include <algorithm>

namespace refhost {

namespace {

struct Tally {
    int errors = 0;
    int warnings = 0;
    int notes = 0;
};

QString countsText(const EdsFile &eds)
{
    int subIndexes = 0;
    for (const EdsObject &object : eds.objects)
        subIndexes += object.subEntries.size();
    for (const EdsSubEntryGroup &group : eds.pendingSubEntries)
        subIndexes += group.entries.size();
    return tr("%1 objects, %2 sub-indexes, %3 receive PDOs, %4 transmit PDOs, %5 mappable entries")
        .arg(eds.objects.size())
        .arg(subIndexes)
        .arg(eds.receivePdoObjects().size())
        .arg(eds.transmitPdoObjects().size())
        .arg(eds.mappableEntries().size());
}

// False when the file cannot be read as an EDS at all.
bool checkFile(const QString &path, Tally &tally, QTextStream &out, QTextStream &err)
{
    const std::unique_ptr<EdsFile> eds = loadEds(path);
    QFile file(path);
    if (!eds || !file.open(QIODevice::ReadOnly)) {
        err << tr("%1: cannot be read as an EDS file (not a regular file, or over %2 MiB)")
                   .arg(path)
                   .arg(maxEdsFileSize / (1024 * 1024))
            << '\n';
        return false;
    }
    const EdsSource source(file.readAll());
    QList<Finding> findings = readerFindings(*eds, source) + configurationFindings(*eds, source);
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding &a, const Finding &b) { return a.line < b.line; });
    Tally here;
    int shown = 0;
    for (const Finding &f : qAsConst(findings)) {
        // As many as the reader keeps; the rest are counted.
        if (shown++ < maxKeptDiagnostics)
            out << path << ':' << f.line << ": " << severityName(f.severity) << ": " << f.text << '\n';
        (f.severity == Severity::Error ? here.errors : f.severity == Severity::Warning ? here.warnings : here.notes)++;
    }
    if (findings.size() > maxKeptDiagnostics)
        out << path << ": " << tr("%1 further findings not shown").arg(findings.size() - maxKeptDiagnostics) << '\n';
    if (eds->diagnosticCount > eds->diagnostics.size())
        out << path << ": " << tr("%1 further diagnostics of the reader not shown")
                                   .arg(eds->diagnosticCount - eds->diagnostics.size())
            << '\n';
    out << path << ": " << tr("%1 errors, %2 warnings, %3 notes; %4")
                               .arg(here.errors).arg(here.warnings).arg(here.notes).arg(countsText(*eds))
        << '\n';
    tally.errors += here.errors;
    tally.warnings += here.warnings;
    tally.notes += here.notes;
    return true;
}

int runCheck(Plugin &, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    Tally tally;
    bool unreadable = false;
    for (const QString &path : arguments.inputs)
        unreadable = !checkFile(path, tally, out, err) || unreadable;
    if (unreadable)
        return 2;
    const bool strict = arguments.has("--strict");
    return strict && (tally.errors + tally.warnings) > 0 ? 1 : 0;
}

} // namespace

const Command checkCommand{
    "check", Inputs::Many, "FILE", "read EDS or DCF files as the plug-in does and report every problem found",
    {{"--strict", Value::None, nullptr, "exit with 1 when a file has an error or a warning"}},
    runCheck,
    "Each finding is FILE:LINE: SEVERITY: TEXT, then one summary line per file.\n"
    "  error    the slave's default configuration will lack or get wrong what the file promises\n"
    "  warning  a line or value of the file is dropped\n"
    "  note     the file holds something the plug-in has no use for (unknown sections, DCF values)\n"
    "Exit status: 0 checked, 1 under --strict when a file has errors or warnings,\n"
    "2 a file cannot be read or wrong arguments.\n"};

} // namespace refhost
