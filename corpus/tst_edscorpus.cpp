// Real EDS and DCF files of many vendors and tools, checked against a plain scan
// of their section heads and keys that shares nothing with the reader.
#include "model/canobject.h"
#include "model/slavefromeds.h"
#include "plugin/mappingsymbols.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <cstdio>

namespace {

const QString corpus = QStringLiteral(CANSLAVE_CORPUS);

using EntryKeys = QHash<QPair<int, int>, QHash<QString, QString>>; // (index, sub or -1) -> lower-case key -> value
// Where the scan keeps the keys of [DeviceInfo] and [DeviceComissioning].
constexpr int deviceInfo = -2, commissioning = -3;

// Every object and sub-index section with its keys.
EntryKeys scan(const QByteArray &data)
{
    // A head may carry a comment after its bracket.
    static const QRegularExpression head(QStringLiteral("^\\[\\s*([0-9A-F]{4})(?:sub([0-9A-F]{1,2}))?\\s*\\]\\s*(?:[;#].*)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression deviceHead(QStringLiteral("^\\[\\s*(deviceinfo|devicecom+issioning)\\s*\\]"),
                                               QRegularExpression::CaseInsensitiveOption);
    EntryKeys keys;
    QPair<int, int> at{-1, -1};
    for (const QByteArray &raw : data.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        const QRegularExpressionMatch match = head.match(line);
        const int equals = line.indexOf(QLatin1Char('='));
        const QRegularExpressionMatch device = deviceHead.match(line);
        if (device.hasMatch())
            at = {device.captured(1).startsWith(QLatin1String("deviceinfo"), Qt::CaseInsensitive) ? deviceInfo : commissioning, -1};
        else if (line.startsWith(QLatin1Char('[')))
            at = {match.hasMatch() ? match.captured(1).toInt(nullptr, 16) : -1, match.captured(2).isEmpty() ? -1 : match.captured(2).toInt(nullptr, 16)};
        else if (at.first != -1 && equals > 0 && !line.startsWith(QLatin1Char(';')))
            keys[at][line.left(equals).trimmed().toLower()] = line.mid(equals + 1).trimmed();
    }
    return keys;
}

// A COB-ID as the file writes it, node id 5 put in where it says $NODEID; -1 when no number.
qint64 valueAtNode5(QString text)
{
    text = text.section(QLatin1Char(';'), 0, 0).section(QLatin1Char('#'), 0, 0);
    const bool relative = text.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive);
    text = text.remove(QLatin1String("$NODEID"), Qt::CaseInsensitive).remove(QLatin1Char('+')).trimmed();
    bool ok = text.isEmpty() && relative;
    const qint64 value = ok ? 0 : text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive) ? text.chopped(1).toLongLong(&ok, 16)
                                                                                      : text.toLongLong(&ok, 0);
    return ok ? value + (relative ? 5 : 0) : -1;
}

// The value a DCF configured, else the default; an empty ParameterValue configures nothing.
QString valueOf(const QHash<QString, QString> &entry)
{
    const QString configured = entry.value(QStringLiteral("parametervalue"));
    return configured.isEmpty() ? entry.value(QStringLiteral("defaultvalue")) : configured;
}

// What a configured COB-ID is at node 5: one of the predefined set at the DCF's own node moves with the node.
qint64 atNode5(const QString &configured, quint32 commIndex, int dcfNode)
{
    const qint64 value = valueAtNode5(configured);
    const bool receive = commIndex < 0x1800;
    const quint32 n = commIndex - (receive ? 0x1400 : 0x1800);
    const qint64 base = (receive ? 0x200 : 0x180) + 0x100 * n;
    if (configured.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive) || dcfNode <= 0 || n >= 4
        || (value & 0x1FFFFFFF) != base + dcfNode)
        return value;
    return (base + 5) | (value & 0x40000000);
}

// Length in bits that the file's default word for this object gives it; a dummy is named by its type.
int wordBits(const EntryKeys &keys, quint32 mapping, const PDOMapEntry &mapped)
{
    for (int sub = 1; sub <= 0x40; ++sub) {
        const QHash<QString, QString> word = keys.value({int(mapping), sub});
        const qint64 value = valueAtNode5(valueOf(word));
        if (value > 0 && quint32(value >> 16) == mapped.index && quint32((value >> 8) & 0xFF) == mapped.subIndex)
            return int(value & 0xFF);
    }
    return -1;
}

bool reservedForOthers(quint32 cobId)
{
    const quint32 id = cobId & 0x1FFFFFFF; // bit 29 marks a 29-bit identifier, which none of these ranges holds
    return !(cobId & 0x20000000) && (id <= 0x7F || (id >= 0x101 && id <= 0x180) || (id >= 0x581 && id <= 0x5FF)
                                     || (id >= 0x601 && id <= 0x67F) || id >= 0x6E0);
}

} // namespace

class tst_EdsCorpus : public QObject
{
    Q_OBJECT

private slots:
    void everyFile_data()
    {
        QTest::addColumn<QString>("path");
        const QDir dir(corpus);
        for (const QString &file : dir.entryList({QStringLiteral("*.eds"), QStringLiteral("*.dcf")}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file)) << dir.filePath(file);
    }

    void everyFile()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const EntryKeys keys = scan(file.readAll());
        CanObject slave(5);
        slave.projectKey = path;
        QCOMPARE(loadEdsIntoSlave(slave, path), 1);

        // The default configuration keeps off identifiers others use and objects the file keeps out of PDOs;
        // a DCF's configured COB-IDs are the ones used, and a PDO it switches off stays out.
        buildDefaultPdos(slave);
        const bool dcf = path.endsWith(QLatin1String(".dcf"), Qt::CaseInsensitive);
        const int dcfNode = int(valueAtNode5(keys.value({commissioning, -1}).value(QStringLiteral("nodeid"))));

        // Identity from 0x1018 where it gives a value, else from [DeviceInfo].
        const QString infoKeys[] = {QStringLiteral("vendornumber"), QStringLiteral("productnumber"), QStringLiteral("revisionnumber")};
        const quint32 identity[] = {slave.vendorId, slave.productCode, slave.revisionNumber};
        for (int sub = 1; sub <= 3; ++sub) {
            const QString given = valueOf(keys.value({0x1018, sub}));
            const qint64 info = valueAtNode5(keys.value({deviceInfo, -1}).value(infoKeys[sub - 1]));
            if (given.isEmpty() && info >= 0)
                QCOMPARE(qint64(identity[sub - 1]), info);
        }
        if (keys.value({0x1014, -1}).value(QStringLiteral("defaultvalue")).contains(QLatin1String("$NODEID"), Qt::CaseInsensitive))
            QVERIFY2(!reservedForOthers(slave.emcyCobId() & 0x7FFFFFFF), qPrintable(QString::number(slave.emcyCobId(), 16)));
        for (const PDOConfig &pdo : qAsConst(slave.pdoList)) {
            const quint32 cobId = CanObject::effectiveCobId(pdo);
            const QString configured = keys.value({int(pdo.commIndex), 1}).value(QStringLiteral("parametervalue"));
            // A PDO the DCF itself enables there is configured as it says.
            QVERIFY2(!reservedForOthers(cobId) || (dcf && !configured.isEmpty()),
                     qPrintable(QStringLiteral("%1 on %2").arg(pdo.commIndex, 0, 16).arg(cobId, 0, 16)));
            if (dcf && !configured.isEmpty())
                QCOMPARE(qint64(cobId), atNode5(configured, pdo.commIndex, dcfNode));
            const bool receive = pdo.direction == PdoReceive;
            for (const PDOMapEntry &mapped : pdo.mapList) {
                // As wide as the file's own mapping word says, and of an access the direction allows.
                const int bits = wordBits(keys, pdo.commIndex + 0x200, mapped); // -1: words in a [xxxxValue] section
                if (bits >= 0)
                    QCOMPARE(int(mapped.byteLength) * 8, bits);
                if (mapped.index < 8)
                    continue;
                const QString access = keys.value({int(mapped.index), int(mapped.subIndex)}, keys.value({int(mapped.index), -1}))
                                           .value(QStringLiteral("accesstype")).toLower();
                const QStringList refused = receive ? QStringList{"ro", "const", "rwr"} : QStringList{"wo", "rww"};
                QVERIFY2(!refused.contains(access), qPrintable(QStringLiteral("%1sub%2 %3").arg(mapped.index, 0, 16).arg(mapped.subIndex).arg(access)));
                const QString flag = keys.value({int(mapped.index), int(mapped.subIndex)}, keys.value({int(mapped.index), -1}))
                                         .value(QStringLiteral("pdomapping"));
                QVERIFY2(flag.isEmpty() || valueAtNode5(flag) != 0,
                         qPrintable(QStringLiteral("%1sub%2").arg(mapped.index, 0, 16).arg(mapped.subIndex)));
            }
        }
        for (const EdsPdoEntry &offered : qAsConst(slave.edsPdoList)) {
            const QString configured = keys.value({offered.index, 1}).value(QStringLiteral("parametervalue"));
            if (dcf && valueAtNode5(configured) >= 0x80000000)
                QVERIFY2(slave.findPdo(quint32(offered.index)) < 0, qPrintable(QString::number(offered.index, 16)));
        }
        checkSymbols(slave);
    }

    // A PLC program can declare every symbol, one per object; a name it could declare as made before stays.
    static void checkSymbols(const CanObject &slave)
    {
        QStringList before;
        for (const PDOConfig &pdo : slave.pdoList) {
            for (const PDOMapEntry &e : pdo.mapList) {
                if (e.dataType < 2 || e.dataType > 7)
                    continue;
                QString part = QString(e.name).remove(QLatin1Char(' ')).replace(QLatin1Char('-'), QLatin1Char('_'));
                before << (slave.name + (part.isEmpty() || !part.at(0).isDigit() ? part : QLatin1Char('_') + part)).left(20);
            }
        }
        QSet<QString> seen;
        const QList<MappingSymbol> symbols = buildMappingSymbols(slave);
        QCOMPARE(symbols.size(), before.size());
        for (int i = 0; i < symbols.size(); ++i) {
            const QString &name = symbols.at(i).name;
            QVERIFY2(isPlcIdentifier(name) && !seen.contains(name.toLower()), qPrintable(name));
            seen.insert(name.toLower());
            if (isPlcIdentifier(before.at(i)) && before.filter(QRegularExpression(
                    QLatin1Char('^') + QRegularExpression::escape(before.at(i)) + QLatin1Char('$'),
                    QRegularExpression::CaseInsensitiveOption)).size() == 1)
                QCOMPARE(name, before.at(i));
        }
    }
};

// Without the corpus there is nothing to check: CTest is told the check was skipped.
int main(int argc, char *argv[])
{
    if (!QDir(corpus).exists()) {
        std::printf("SKIP: no corpus at %s\n", qPrintable(corpus));
        return 77;
    }
    tst_EdsCorpus test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_edscorpus.moc"
