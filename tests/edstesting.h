#pragma once

#include "eds/edsfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Test texts are written with "|" for line ends, so a table row fits on one line.
inline std::unique_ptr<EdsFile> edsFromLines(const char *lines)
{
    QByteArray text(lines);
    text.replace('|', '\n');
    return loadEdsFromData(text);
}

// Each diagnostic as "line:text", the form the rows of expected diagnostics use.
inline QStringList diagnosticLines(const EdsFile &eds)
{
    QStringList result;
    for (const EdsDiagnostic &diagnostic : eds.diagnostics)
        result.append(QString::number(diagnostic.line) + QLatin1Char(':') + diagnostic.text);
    return result;
}

inline QString testDataPath(const char *name)
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/") + QLatin1String(name);
}
