#include "checkfindings.h"

#include "commands.h"
#include "edssource.h"

#include "eds/edsfile.h"
#include "eds/pdoindexes.h"

#include <QRegularExpression>
#include <QSet>

namespace refhost {

namespace {

struct Rule {
    const char *pattern; // a regular expression the reader's text must match from its start
    Severity severity;
};

// Errors: the device description loses an object the configuration needs.
// Warnings: a value or line is dropped. Notes: nothing the configuration uses.
const Rule rules[] = {
    {"Object [0-9A-F]+ not found", Severity::Error},
    {"Index (data )?error", Severity::Error},
    {"compactSubObj and", Severity::Error},
    // Commissioning keys of a DCF the reader has no use for.
    {"Unknown token: (ParameterValue|Denotation|UploadFile|DownloadFile)$", Severity::Note},
    {"Unknown section", Severity::Note},
    // A DCF written for another node: its identifiers follow the slave's node.
    {"COB-IDs of node", Severity::Note},
    {"Unknown lineName:", Severity::Note},
    {"Unknown name:", Severity::Note},
    {"Unknown entry", Severity::Note},
    {"Unknown lines$", Severity::Note},
    {"Unused entry", Severity::Note},
    {"Unused seg", Severity::Note},
};

QString hexIndex(const QString &text)
{
    static const QRegularExpression index(QStringLiteral("(?:index:|Object )([0-9A-Fa-f]{1,4})\\b"));
    return index.match(text).captured(1);
}

// The line a finding made after reading goes back to.
int causeLine(const EdsDiagnostic &d, const EdsSource &source)
{
    const QString hex = hexIndex(d.text);
    if (!hex.isEmpty()) {
        const int index = hex.toInt(nullptr, 16);
        if (d.text.startsWith(QLatin1String("Object "))) {
            // A PDO object the count in [DeviceInfo] promises.
            const bool receive = isReceivePdoIndex(index) || receiveMappingIndexes.contains(index);
            if (int line = source.keyLine(QStringLiteral("DeviceInfo"), receive ? QStringLiteral("NrOfRXPDO")
                                                                                 : QStringLiteral("NrOfTXPDO")))
                return line;
        }
        if (int line = source.sectionLine(EdsSource::objectSection(index)))
            return line;
        if (int line = source.firstSubSectionLine(index))
            return line;
    }
    return qMax(1, source.sectionLine(d.section));
}

} // namespace

Severity severityOf(const QString &readerText)
{
    // Built once: a file may have as many texts as it has lines.
    static const QList<QPair<QRegularExpression, Severity>> compiled = [] {
        QList<QPair<QRegularExpression, Severity>> out;
        for (const Rule &rule : rules)
            out.append({QRegularExpression(QStringLiteral("^(?:") + QLatin1String(rule.pattern) + QLatin1Char(')'),
                                           QRegularExpression::CaseInsensitiveOption),
                        rule.severity});
        return out;
    }();
    for (const auto &rule : compiled) {
        if (rule.first.match(readerText).hasMatch())
            return rule.second;
    }
    return Severity::Warning;
}

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error: return tr("error");
    case Severity::Warning: return tr("warning");
    case Severity::Note: return tr("note");
    }
    return QString();
}

QList<Finding> readerFindings(const EdsFile &eds, const EdsSource &source)
{
    QList<Finding> findings;
    QSet<QString> unknownSections;
    static const QString unknownSection = QStringLiteral("Unknown section ");
    for (const EdsDiagnostic &d : eds.diagnostics) {
        if (d.text.startsWith(unknownSection)) {
            const QString name = d.text.mid(unknownSection.size());
            unknownSections.insert(d.section);
            // An index section the reader cannot place loses that object's data.
            static const QRegularExpression indexLike(QStringLiteral("^[0-9a-f]{4}"), QRegularExpression::CaseInsensitiveOption);
            const bool lost = indexLike.match(name).hasMatch() && !name.endsWith(QLatin1String("Value"), Qt::CaseInsensitive)
                && !name.endsWith(QLatin1String("Denotation"), Qt::CaseInsensitive);
            findings.append({lost ? Severity::Warning : Severity::Note, d.line,
                             tr("unknown section [%1] ignored (%2 lines)").arg(name).arg(source.contentLines(name))});
            continue;
        }
        // The lines of an unknown section are counted with it.
        if (d.text == QLatin1String("Unknown line") && !d.section.isEmpty() && unknownSections.contains(d.section))
            continue;
        findings.append({severityOf(d.text), d.line > 0 ? d.line : causeLine(d, source), d.text});
    }
    return findings;
}

} // namespace refhost
