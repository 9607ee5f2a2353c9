#pragma once

// What check reports about one EDS file: the reader's diagnostics with a
// severity and a real line each, and the checks that matter for a configuration.

#include <QList>
#include <QString>

class EdsFile;

namespace refhost {

class EdsSource;

enum class Severity { Error, Warning, Note };

struct Finding {
    Severity severity = Severity::Warning;
    int line = 0;
    QString text;
};

// The severity of one of the reader's texts; a text not known here is a warning.
Severity severityOf(const QString &readerText);
QString severityName(Severity severity);

// The reader's diagnostics, classified; an unknown section and its lines become one note.
QList<Finding> readerFindings(const EdsFile &eds, const EdsSource &source);
// Objects listed but not defined, mandatory objects missing, default mappings
// that cannot be built, and default PDOs sharing a COB-ID.
QList<Finding> configurationFindings(const EdsFile &eds, const EdsSource &source);

} // namespace refhost
