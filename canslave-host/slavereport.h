#pragma once

// A slave as a PLC programmer reads it: one JSON object built from what the
// host gets through the exports, printed as labelled text or as JSON.

#include <QJsonObject>
#include <QTextStream>

class CanObject;
class Plugin;

namespace refhost {

struct PrintChoice {
    bool json = false;
    bool block = false; // the configuration block's bytes
};

// The place of a mapped object as the dialog's Memory column shows it; "-" for none.
QString placeText(int area, int offset);

QJsonObject slaveReport(const Plugin &plugin, CanObject *slave, bool withBlock);
void printReportText(const QJsonObject &report, QTextStream &out);
void printSlave(const Plugin &plugin, CanObject *slave, const PrintChoice &choice, QTextStream &out);

} // namespace refhost
