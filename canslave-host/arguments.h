#pragma once

#include "commands.h"

namespace refhost {

// Reads and checks a command's arguments. False, with one line on err, when
// they are not what the command takes.
bool parseArguments(const Command &command, const QStringList &arguments, Arguments &parsed, QTextStream &err);

// "1-127", "5" or "1,3,8-10"; empty when the text is not such a list of node ids 1 to 127.
QList<int> nodeIdList(const QString &text);
// The node id of a text, or 0 when it is not a decimal number from 1 to 127.
int nodeIdOf(const QString &text);

QString usageLine(const Command &command);
void printCommandHelp(const Command &command, QTextStream &out);
bool asksForHelp(const QStringList &arguments);

} // namespace refhost
