#pragma once

// The host's help library.

#include <QtGlobal>
#include <QByteArray>
#include <QString>

#if defined(HELPSHAREMODULE_LIBRARY)
#define HELPSHAREMODULE_EXPORT Q_DECL_EXPORT
#else
#define HELPSHAREMODULE_EXPORT Q_DECL_IMPORT
#endif

// The keyword for the current UI language: the second (GB2312) text when the
// UI language is Chinese, the first (Latin-1) otherwise.
HELPSHAREMODULE_EXPORT QString helpKeyWord(const QByteArray &first, const QByteArray &second);
// Opens the help at the keyword: hands it to the handler the host installed
// (none: nothing opens) and remembers it.
HELPSHAREMODULE_EXPORT void startHelpSys(const QString &keyword);

// ---- for hosts and tests ----
using HelpHandler = void (*)(const QString &keyword);
HELPSHAREMODULE_EXPORT void setHelpHandler(HelpHandler handler);
HELPSHAREMODULE_EXPORT QString lastHelpKeyWord();
HELPSHAREMODULE_EXPORT int helpRequestCount();
HELPSHAREMODULE_EXPORT void resetHelpRequests();
// Forces the language helpKeyWord chooses by ("zh" or anything else); empty: the UI language.
HELPSHAREMODULE_EXPORT void setHelpLanguage(const QString &language);
