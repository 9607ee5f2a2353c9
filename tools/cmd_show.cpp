// show and compile: create a slave from an EDS through the exports, as a host
// does, and print or write what the host gets from it.

#include "commands.h"
#include "pluginlibrary.h"

#include "plugin/canobject.h"

#include <QFile>

namespace {

struct Options {
    QString eds;
    int node = 1;
    QString station = QStringLiteral("canslave-host");
    QString output;
};

bool parse(const QStringList &arguments, Options &o, QTextStream &err)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if ((a == QLatin1String("--node")) && hasValue) {
            bool ok = false;
            o.node = arguments.at(++i).toInt(&ok, 0);
            if (!ok) {
                err << "not a node id: " << arguments.at(i) << '\n';
                return false;
            }
        } else if (a == QLatin1String("--station") && hasValue) {
            o.station = arguments.at(++i);
        } else if (a == QLatin1String("-o") && hasValue) {
            o.output = arguments.at(++i);
        } else if (o.eds.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
            o.eds = a;
        } else {
            err << "unexpected argument: " << a << '\n';
            return false;
        }
    }
    if (o.eds.isEmpty()) {
        err << "no EDS file given\n";
        return false;
    }
    return true;
}

QString hex(quint32 v, int width = 0)
{
    return QString::number(v, 16).toUpper().rightJustified(width, QLatin1Char('0'));
}

void hexDump(QTextStream &out, const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); i += 16)
        out << "  " << hex(quint32(i), 4) << "  " << bytes.mid(i, 16).toHex(' ').toUpper() << '\n';
}

void printMap(QTextStream &out, const char *title, const QByteArray &map, int count, int width)
{
    out << title << " (" << count << " entries)\n";
    for (int i = 0; i + width <= map.size(); i += width) {
        const auto b = [&](int k) { return quint8(map.at(i + k)); };
        out << "  area " << hex(b(3), 2) << " offset " << ((b(4) << 8) | b(5)) << " length " << b(2);
        if (width == 7)
            out << " clearWhenStop " << b(6);
        out << '\n';
    }
}

struct Created {
    Plugin &plugin;
    CanObject *slave = nullptr;
    ~Created()
    {
        if (slave)
            plugin.get<canslave::ReleaseObjectFn>("releaseObject")(slave);
    }
};

} // namespace

void printSlave(Plugin &plugin, CanObject *slave, QTextStream &out)
{
    auto compile = plugin.get<canslave::CompileFn>("compile");
    auto inMap = plugin.get<canslave::GetMemMapFn>("getInputMemMap");
    auto outMap = plugin.get<canslave::GetMemMapFn>("getOutputMemMap");
    auto symbols = plugin.get<canslave::GetMappingSymFn>("getMappingSym");
    if (!slave || !compile || !inMap || !outMap || !symbols)
        return;
    const CanObject &s = *slave;
    out << "Slave: " << s.name << "\nEDS: " << s.edsFile << "\nNode ID: " << s.nodeId
        << "\nStation: " << s.projectKey << "\nVendor ID: " << hex(s.vendorId, 8)
        << "\nProduct code: " << hex(s.productCode, 8) << "\nRevision: " << hex(s.revisionNumber, 8)
        << "\nDevice type: " << hex(s.deviceType, 8) << "\nEMCY COB-ID: " << hex(s.emcyCobId()) << "\n\n";
    out << "PDOs (" << s.pdoList.size() << " configured, " << s.edsPdoList.size() << " offered)\n";
    for (const PDOConfig &p : s.pdoList) {
        out << "  " << hex(p.commIndex) << ' ' << (p.direction == PdoTransmit ? "transmit" : "receive")
            << " COB-ID " << hex(CanObject::effectiveCobId(p)) << " type " << p.transmissionType;
        if (p.direction == PdoTransmit)
            out << " inhibit " << p.inhibitTime << " event " << p.eventTimer;
        out << " length " << CanObject::pdoByteLength(p) << '\n';
        for (const PDOMapEntry &e : p.mapList)
            out << "    " << hex(e.index) << " sub " << hex(e.subIndex) << ' ' << e.name << ", "
                << e.byteLength << " byte(s) at area " << hex(quint32(e.area & 0xFF), 2) << " offset "
                << e.offset << (e.readOnly ? ", read-only" : "") << '\n';
    }
    int count = 0;
    const QByteArray input = inMap(slave, &count);
    out << '\n';
    printMap(out, "Input memory map", input, count, 6);
    const QByteArray output = outMap(slave, &count);
    printMap(out, "Output memory map", output, count, 7);
    QList<MappingSymbol> list;
    symbols(slave, &list);
    out << "\nMapping symbols (" << list.size() << ")\n";
    for (const MappingSymbol &m : list)
        out << "  " << m.name.leftJustified(20) << ' ' << m.address.leftJustified(8) << ' ' << m.comment << '\n';
    QByteArray block;
    CompileList unused;
    compile(slave, block, unused);
    out << "\nConfiguration block (" << block.size() << " bytes)\n";
    hexDump(out, block);
}

int runShow(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options o;
    if (!parse(arguments, o, err))
        return 2;
    auto create = plugin.get<canslave::CreateCanObjectFn>("createCanObject");
    if (!create || !plugin.get<canslave::ReleaseObjectFn>("releaseObject")) {
        err << "the plug-in lacks the exports this command needs\n";
        return 1;
    }
    Created c{plugin};
    c.slave = create(nullptr, o.eds, o.node, o.station);
    if (!c.slave) {
        err << o.eds << ": the plug-in created no slave\n";
        return 1;
    }
    printSlave(plugin, c.slave, out);
    return 0;
}

int runCompile(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options o;
    if (!parse(arguments, o, err))
        return 2;
    if (o.output.isEmpty()) {
        err << "no output file given (-o FILE)\n";
        return 2;
    }
    auto create = plugin.get<canslave::CreateCanObjectFn>("createCanObject");
    auto compile = plugin.get<canslave::CompileFn>("compile");
    if (!create || !compile || !plugin.get<canslave::ReleaseObjectFn>("releaseObject")) {
        err << "the plug-in lacks the exports this command needs\n";
        return 1;
    }
    Created c{plugin};
    c.slave = create(nullptr, o.eds, o.node, o.station);
    if (!c.slave) {
        err << o.eds << ": the plug-in created no slave\n";
        return 1;
    }
    QByteArray block;
    CompileList unused;
    compile(c.slave, block, unused);
    QFile file(o.output);
    if (!file.open(QIODevice::WriteOnly) || file.write(block) != block.size()) {
        err << o.output << ": " << file.errorString() << '\n';
        return 1;
    }
    out << o.output << ": " << block.size() << " bytes\n";
    return 0;
}
