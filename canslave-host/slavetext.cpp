// The slave report as labelled text: one section per part of the
// configuration, in the names the dialog and the symbols use.
#include "commands.h"
#include "slavereport.h"

#include <QJsonArray>

namespace refhost {

namespace {

QString hex(const QJsonValue &v, int width = 0)
{
    return QStringLiteral("0x")
        + QString::number(qint64(v.toDouble()), 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

QString yesNo(const QJsonValue &v)
{
    return v.toBool() ? tr("yes") : tr("no");
}

void field(QTextStream &out, const QString &label, const QString &value, int indent = 2)
{
    out << QString(indent, QLatin1Char(' ')) << (label + QLatin1Char(':')).leftJustified(24) << value << '\n';
}

// Rows under a header line; each column as wide as its widest cell.
void table(QTextStream &out, const QStringList &header, const QList<QStringList> &rows, int indent)
{
    QVector<int> widths(header.size());
    for (int c = 0; c < header.size(); ++c) {
        widths[c] = header.at(c).size();
        for (const QStringList &row : rows)
            widths[c] = qMax(widths[c], row.at(c).size());
    }
    const auto line = [&](const QStringList &cells) {
        QString text(indent, QLatin1Char(' '));
        for (int c = 0; c < cells.size(); ++c)
            text += cells.at(c).leftJustified(widths[c] + 2);
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        out << text << '\n';
    };
    line(header);
    for (const QStringList &row : rows)
        line(row);
}

void printDevice(const QJsonObject &d, QTextStream &out)
{
    out << tr("Device") << '\n';
    field(out, tr("Name"), d.value("name").toString());
    field(out, tr("EDS file"), d.value("edsFile").toString());
    field(out, tr("Node ID"), QString::number(d.value("nodeId").toInt()));
    field(out, tr("Station key"), d.value("stationKey").toString());
    field(out, tr("Vendor ID"), hex(d.value("vendorId"), 8));
    field(out, tr("Product code"), hex(d.value("productCode"), 8));
    field(out, tr("Revision number"), hex(d.value("revisionNumber"), 8));
    field(out, tr("Device type"), hex(d.value("deviceType"), 8));
    field(out, tr("Emergency COB-ID"), hex(d.value("emergencyCobId")));
    field(out, tr("Node guard COB-ID"), hex(d.value("nodeGuardCobId")));
}

void printErrorControl(const QJsonObject &report, QTextStream &out)
{
    const QJsonObject e = report.value("errorControl").toObject();
    out << '\n' << tr("Error control") << '\n';
    field(out, tr("Monitor time"), tr("%1 ms").arg(e.value("monitorTimeMs").toInt()));
    field(out, tr("Heartbeat time"), tr("%1 ms").arg(e.value("heartbeatTimeMs").toInt()));
    field(out, tr("Master monitor time"), tr("%1 ms").arg(e.value("masterMonitorTimeMs").toInt()));
    const QJsonObject c = report.value("startupChecks").toObject();
    out << '\n' << tr("Checks at start-up") << '\n';
    field(out, tr("Check vendor ID"), yesNo(c.value("vendorId")));
    field(out, tr("Check device type"), yesNo(c.value("deviceType")));
    field(out, tr("Check product code"), yesNo(c.value("productCode")));
    field(out, tr("Check revision number"), yesNo(c.value("revisionNumber")));
}

void printPdo(const QJsonObject &p, QTextStream &out)
{
    const bool transmit = p.value("direction").toString() == QLatin1String("transmit");
    out << "  " << hex(p.value("commIndex")) << ' '
        << (transmit ? tr("transmit PDO (PLC inputs)") : tr("receive PDO (PLC outputs)"));
    if (!p.value("name").toString().isEmpty())
        out << ": " << p.value("name").toString();
    out << '\n';
    field(out, tr("COB-ID"), hex(p.value("cobId")), 4);
    field(out, tr("Transmission type"),
          QStringLiteral("%1, %2").arg(p.value("transmissionType").toInt()).arg(p.value("transmissionTypeText").toString()), 4);
    if (transmit) {
        const int inhibit = p.value("inhibitTime100us").toInt();
        field(out, tr("Inhibit time"), tr("%1 ms (%2 x 100 us)").arg(inhibit / 10.0, 0, 'f', 1).arg(inhibit), 4);
        field(out, tr("Event timer"), tr("%1 ms").arg(p.value("eventTimerMs").toInt()), 4);
    }
    field(out, tr("Length"), tr("%1 of 8 bytes").arg(p.value("lengthBytes").toInt()), 4);
    const QJsonArray leftOut = p.value("defaultWordsLeftOut").toArray();
    if (!leftOut.isEmpty()) {
        QStringList words;
        for (const QJsonValue &w : leftOut)
            words << QStringLiteral("%1 (%2)").arg(hex(w["word"], 8), w["reason"].toString());
        field(out, tr("Default words left out"), words.join(QStringLiteral(", ")), 4);
    }
    const QJsonArray mapped = p.value("mapped").toArray();
    if (mapped.isEmpty())
        return;
    QList<QStringList> rows;
    for (const QJsonValue &v : mapped) {
        const QJsonObject e = v.toObject();
        rows.append({hex(e.value(QLatin1String("index")), 4), hex(e.value(QLatin1String("subIndex")), 2), e.value("name").toString(),
                     QString::number(e.value("lengthBytes").toInt()), e.value("place").toString(),
                     transmit ? QStringLiteral("-") : yesNo(e.value("clearWhenStop")),
                     e.value("fixedMapping").toBool() ? tr("fixed mapping") : QString()});
    }
    table(out, {tr("Index"), tr("Sub"), tr("Name"), tr("Bytes"), tr("Memory"), tr("Clear when stop"), tr("Note")},
          rows, 4);
}

void printSdos(const QJsonArray &sdos, QTextStream &out)
{
    out << '\n' << tr("Automatic SDOs (%1)").arg(sdos.size()) << '\n';
    QList<QStringList> rows;
    for (const QJsonValue &v : sdos) {
        const QJsonObject d = v.toObject();
        rows.append({hex(d.value(QLatin1String("index")), 4), hex(d.value(QLatin1String("subIndex")), 2),
                     QString::number(d.value("lengthBytes").toInt()), d.value("value").toString(),
                     d.value("storedBytes").toString(), d.value("name").toString()});
    }
    if (!rows.isEmpty())
        table(out, {tr("Index"), tr("Sub"), tr("Length"), tr("Value"), tr("Stored bytes"), tr("Name")}, rows, 2);
}

void printMaps(const QJsonObject &report, QTextStream &out)
{
    const QJsonArray inputs = report.value("inputMemoryMap").toArray();
    const QJsonArray outputs = report.value("outputMemoryMap").toArray();
    out << '\n' << tr("Memory map: inputs %1, outputs %2").arg(inputs.size()).arg(outputs.size()) << '\n';
    QList<QStringList> rows;
    for (const QJsonValue &v : inputs)
        rows.append({tr("input"), v["place"].toString(), QString::number(v["lengthBytes"].toInt()), QStringLiteral("-")});
    for (const QJsonValue &v : outputs)
        rows.append({tr("output"), v["place"].toString(), QString::number(v["lengthBytes"].toInt()),
                     yesNo(v["clearWhenStop"])});
    if (!rows.isEmpty())
        table(out, {tr("Direction"), tr("Memory"), tr("Bytes"), tr("Clear when stop")}, rows, 2);

    const QJsonArray symbols = report.value("symbols").toArray();
    out << '\n' << tr("Mapping symbols (%1)").arg(symbols.size()) << '\n';
    rows.clear();
    for (const QJsonValue &v : symbols)
        rows.append({v["name"].toString(), v["address"].toString(), v["comment"].toString()});
    if (!rows.isEmpty())
        table(out, {tr("Symbol"), tr("Address"), tr("Comment")}, rows, 2);
    const int cut = report.value("symbolsCut").toInt();
    if (cut > 0)
        out << "  " << tr("Note: the slave's name \"%1\" starts every symbol, so %2 of %3 symbols are cut to 20 "
                          "characters; a shorter name in the dialog leaves more of each object's name.")
                           .arg(report.value("device").toObject().value("name").toString())
                           .arg(cut).arg(symbols.size())
            << '\n';
}

void printBlock(const QJsonObject &block, QTextStream &out)
{
    const int size = block.value("sizeBytes").toInt();
    out << '\n' << tr("Configuration block (%1 bytes)").arg(size) << '\n';
    const QString hexText = block.value("hex").toString();
    if (hexText.isEmpty()) {
        out << "  " << tr("(--block prints its bytes)") << '\n';
        return;
    }
    const QByteArray bytes = QByteArray::fromHex(hexText.toLatin1());
    for (int i = 0; i < bytes.size(); i += 16)
        out << "  0x" << QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')).toUpper() << "  " << bytes.mid(i, 16).toHex(' ').toUpper() << '\n';
}

} // namespace

void printReportText(const QJsonObject &report, QTextStream &out)
{
    printDevice(report.value("device").toObject(), out);
    printErrorControl(report, out);
    const QJsonArray pdos = report.value("pdos").toArray();
    out << '\n' << tr("PDOs (%1 in use, %2 offered by the EDS)").arg(pdos.size()).arg(report.value("offeredPdos").toInt()) << '\n';
    for (const QJsonValue &p : pdos)
        printPdo(p.toObject(), out);
    const QJsonObject offered = report.value("offeredForMapping").toObject();
    out << '\n' << tr("Objects offered for mapping: %1 into receive PDOs, %2 into transmit PDOs")
                       .arg(offered.value("receive").toArray().size()).arg(offered.value("transmit").toArray().size()) << '\n';
    printSdos(report.value("sdos").toArray(), out);
    printMaps(report, out);
    printBlock(report.value("configurationBlock").toObject(), out);
}

} // namespace refhost
