#include "hostslave.h"

#include "pluginlibrary.h"

#include "plugin/canobject.h"

#include <QFile>

namespace {

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

} // namespace

bool parseSlaveOptions(const QStringList &arguments, const QStringList &allowed, const char *inputName,
                       SlaveOptions &o, QTextStream &err)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size() && allowed.contains(a);
        if ((a == QLatin1String("--node") || a == QLatin1String("--creator-version")) && hasValue) {
            bool ok = false;
            const int value = arguments.at(++i).toInt(&ok, 0);
            if (!ok) {
                err << "not a number: " << arguments.at(i) << '\n';
                return false;
            }
            (a == QLatin1String("--node") ? o.node : o.creatorVersion) = value;
        } else if (a == QLatin1String("--station") && hasValue) {
            o.station = arguments.at(++i);
        } else if (a == QLatin1String("-o") && hasValue) {
            o.output = arguments.at(++i);
        } else if (o.input.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
            o.input = a;
        } else {
            err << "unexpected argument: " << a << '\n';
            return false;
        }
    }
    if (o.input.isEmpty()) {
        err << "no " << inputName << " given\n";
        return false;
    }
    if (allowed.contains(QLatin1String("-o")) && o.output.isEmpty()) {
        err << "no output file given (-o FILE)\n";
        return false;
    }
    return true;
}

bool requireExports(const Plugin &plugin, const QList<const char *> &names, QTextStream &err)
{
    for (const char *name : names) {
        if (!plugin.get<QFunctionPointer>(name)) {
            err << "the plug-in lacks the exports this command needs\n";
            return false;
        }
    }
    return true;
}

HostSlave::~HostSlave()
{
    reset(nullptr);
}

void HostSlave::reset(CanObject *slave)
{
    if (m_slave)
        m_plugin.get<canslave::ReleaseObjectFn>("releaseObject")(m_slave);
    m_slave = slave;
}

bool HostSlave::create(const SlaveOptions &o, QTextStream &err)
{
    if (!requireExports(m_plugin, {"createCanObject", "releaseObject"}, err))
        return false;
    reset(m_plugin.get<canslave::CreateCanObjectFn>("createCanObject")(nullptr, o.input, o.node, o.station));
    if (!m_slave) {
        err << o.input << ": the plug-in created no slave\n";
        return false;
    }
    return true;
}

void printSlave(const Plugin &plugin, CanObject *slave, QTextStream &out)
{
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
    if (!s.sdoList.isEmpty()) {
        out << "\nSDOs (" << s.sdoList.size() << ")\n";
        for (const SDOEntry &d : s.sdoList)
            out << "  " << hex(d.index) << " sub " << hex(d.subIndex) << " length " << d.length << " data "
                << d.data.toHex(' ').toUpper() << (d.dataText.isEmpty() ? QString() : " (" + d.dataText + ')')
                << '\n';
    }
    int count = 0;
    const QByteArray input = plugin.get<canslave::GetMemMapFn>("getInputMemMap")(slave, &count);
    out << '\n';
    printMap(out, "Input memory map", input, count, 6);
    const QByteArray output = plugin.get<canslave::GetMemMapFn>("getOutputMemMap")(slave, &count);
    printMap(out, "Output memory map", output, count, 7);
    QList<MappingSymbol> list;
    plugin.get<canslave::GetMappingSymFn>("getMappingSym")(slave, &list);
    out << "\nMapping symbols (" << list.size() << ")\n";
    for (const MappingSymbol &m : list)
        out << "  " << m.name.leftJustified(20) << ' ' << m.address.leftJustified(8) << ' ' << m.comment << '\n';
    QByteArray block;
    CompileList unused;
    plugin.get<canslave::CompileFn>("compile")(slave, block, unused);
    out << "\nConfiguration block (" << block.size() << " bytes)\n";
    hexDump(out, block);
}

bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        err << path << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
}

bool readFile(const QString &path, QByteArray &bytes, QTextStream &err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << path << ": " << file.errorString() << '\n';
        return false;
    }
    bytes = file.readAll();
    return true;
}
