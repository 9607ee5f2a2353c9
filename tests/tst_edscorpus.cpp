// Real EDS and DCF files of many vendors and tools, checked against a plain scan
// of their section heads and keys that shares nothing with the reader.
#include "eds/edsfile.h"
#include "eds/slavefromeds.h"
#include "plugin/canobject.h"
#include "plugin/hostservices.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

class tst_EdsCorpus : public QObject
{
    Q_OBJECT

private slots:
    void loadsEveryFile_data();
    void loadsEveryFile();
    void defaultConfiguration_data() { loadsEveryFile_data(); }
    void defaultConfiguration();
};

namespace {

QString corpusPath()
{
    return QStringLiteral(CANSLAVE_CORPUS);
}

struct ScannedHeads {
    QList<int> objects;
    QList<QPair<int, int>> subIndexes;
    QList<int> listed; // indexes named in the three object lists
};

ScannedHeads scanHeads(const QByteArray &data)
{
    static const QRegularExpression object(QStringLiteral("^\\[\\s*([0-9A-Fa-f]{4})\\s*\\]$"));
    static const QRegularExpression sub(QStringLiteral("^\\[\\s*([0-9A-Fa-f]{4})sub([0-9A-Fa-f]{1,2})\\s*\\]$"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression list(QStringLiteral("^\\[\\s*(Mandatory|Optional|Manufacturer)Objects\\s*\\]$"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression listLine(QStringLiteral("^[0-9]+\\s*=\\s*0x([0-9A-Fa-f]{1,4})$"),
                                             QRegularExpression::CaseInsensitiveOption);
    ScannedHeads heads;
    bool inList = false;
    for (const QByteArray &raw : data.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inList = list.match(line).hasMatch();
            QRegularExpressionMatch match = object.match(line);
            if (match.hasMatch()) {
                heads.objects.append(match.captured(1).toInt(nullptr, 16));
                continue;
            }
            match = sub.match(line);
            if (match.hasMatch())
                heads.subIndexes.append({match.captured(1).toInt(nullptr, 16), match.captured(2).toInt(nullptr, 16)});
            continue;
        }
        const QRegularExpressionMatch match = listLine.match(line);
        if (inList && match.hasMatch())
            heads.listed.append(match.captured(1).toInt(nullptr, 16));
    }
    return heads;
}

bool isPdoObject(int index)
{
    return index >= 0x1400 && index <= 0x1BFF;
}

using EntryKeys = QHash<QPair<int, int>, QHash<QString, QString>>; // (index, sub) -> lower-case key -> value

EntryKeys scanKeys(const QByteArray &data)
{
    static const QRegularExpression head(QStringLiteral("^\\[\\s*([0-9A-Fa-f]{4})(?:sub([0-9A-Fa-f]{1,2}))?\\s*\\]$"),
                                         QRegularExpression::CaseInsensitiveOption);
    EntryKeys keys;
    QPair<int, int> current{-1, -1};
    for (const QByteArray &raw : data.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const QRegularExpressionMatch match = head.match(line);
            current = match.hasMatch() ? qMakePair(match.captured(1).toInt(nullptr, 16),
                                                   match.captured(2).isEmpty() ? -1 : match.captured(2).toInt(nullptr, 16))
                                       : qMakePair(-1, -1);
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (current.first >= 0 && equals > 0 && !line.startsWith(QLatin1Char(';')))
            keys[current][line.left(equals).trimmed().toLower()] = line.mid(equals + 1).trimmed();
    }
    return keys;
}

// A COB-ID as the file writes it, node id 5 put in where it says $NODEID; -1 when no number.
qint64 valueAtNode5(QString text)
{
    text = text.section(QLatin1Char(';'), 0, 0).section(QLatin1Char('#'), 0, 0);
    const bool relative = text.contains(QLatin1String("$NODEID"), Qt::CaseInsensitive);
    text.remove(QLatin1String("$NODEID"), Qt::CaseInsensitive).remove(QLatin1Char('+'));
    text = text.trimmed();
    bool ok = false;
    qint64 value = text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive) ? text.chopped(1).toLongLong(&ok, 16)
                                                                        : text.toLongLong(&ok, 0);
    if (text.isEmpty() && relative)
        value = 0, ok = true;
    return ok ? value + (relative ? 5 : 0) : -1;
}

bool reservedForOthers(quint32 cobId)
{
    if (cobId & 0x20000000) // 29-bit identifier
        return false;
    cobId &= 0x1FFFFFFF;
    return cobId <= 0x7F || (cobId >= 0x101 && cobId <= 0x180) || (cobId >= 0x581 && cobId <= 0x5FF)
        || (cobId >= 0x601 && cobId <= 0x67F) || cobId >= 0x6E0;
}

} // namespace

void tst_EdsCorpus::loadsEveryFile_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(corpusPath());
    if (!corpus.exists()) {
        QTest::newRow("absent") << QString();
        return;
    }
    const QStringList files = corpus.entryList({QStringLiteral("*.eds"), QStringLiteral("*.dcf"),
                                                QStringLiteral("*.EDS"), QStringLiteral("*.DCF")},
                                               QDir::Files, QDir::Name);
    for (const QString &file : files)
        QTest::newRow(qPrintable(file)) << corpus.filePath(file);
}

void tst_EdsCorpus::loadsEveryFile()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no corpus at %1").arg(corpusPath())));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const ScannedHeads heads = scanHeads(file.readAll());
    const std::unique_ptr<EdsFile> eds = loadEds(path);
    QVERIFY(eds);

    EdsEntry entry;
    for (int index : heads.objects)
        QVERIFY2(eds->objectPosition(index) >= 0, qPrintable(QString::number(index, 16)));
    for (const auto &sub : heads.subIndexes) {
        QVERIFY2(eds->findEntry(sub.first, sub.second, entry) == 0,
                 qPrintable(QStringLiteral("%1sub%2").arg(sub.first, 0, 16).arg(sub.second, 0, 16)));
        QCOMPARE(entry.index, sub.first);
        QCOMPARE(entry.subIndex, sub.second);
    }
    const QList<EdsEntry> receive = eds->receivePdoObjects();
    const QList<EdsEntry> transmit = eds->transmitPdoObjects();
    for (int index : heads.listed) {
        if (!isPdoObject(index) || !heads.objects.contains(index))
            continue;
        QVERIFY2(eds->findEntry(index, -1, entry) == 0, qPrintable(QString::number(index, 16)));
        const QList<EdsEntry> &pdos = index < 0x1800 ? receive : transmit;
        if ((index >= 0x1400 && index <= 0x15FF) || (index >= 0x1800 && index <= 0x19FF)) {
            const bool inList = std::any_of(pdos.cbegin(), pdos.cend(), [&](const EdsEntry &e) { return e.index == index; });
            QVERIFY2(inList, qPrintable(QString::number(index, 16)));
        }
    }
}

void tst_EdsCorpus::defaultConfiguration()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no corpus at %1").arg(corpusPath())));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const EntryKeys keys = scanKeys(file.readAll());
    const QString station = path;
    CanObject slave(5);
    slave.projectKey = station;
    QCOMPARE(loadEdsIntoSlave(slave, path), 1);
    buildDefaultPdos(slave);
    const bool dcf = path.endsWith(QLatin1String(".dcf"), Qt::CaseInsensitive);

    const QHash<QString, QString> emcy = keys.value({0x1014, -1});
    if (emcy.value(QStringLiteral("defaultvalue")).contains(QLatin1String("$NODEID"), Qt::CaseInsensitive))
        QVERIFY2(!reservedForOthers(slave.emcyCobId() & 0x7FFFFFFF), qPrintable(QString::number(slave.emcyCobId(), 16)));
    for (const PDOConfig &pdo : qAsConst(slave.pdoList)) {
        const quint32 cobId = CanObject::effectiveCobId(pdo);
        QVERIFY2(!reservedForOthers(cobId), qPrintable(QStringLiteral("%1 on %2").arg(pdo.commIndex, 0, 16).arg(cobId, 0, 16)));
        const QHash<QString, QString> cobIdKeys = keys.value({int(pdo.commIndex), 1});
        if (dcf && !cobIdKeys.value(QStringLiteral("parametervalue")).isEmpty())
            QCOMPARE(qint64(cobId), valueAtNode5(cobIdKeys.value(QStringLiteral("parametervalue"))));
        for (const PDOMapEntry &mapped : pdo.mapList) {
            const QString flag = keys.value({int(mapped.index), int(mapped.subIndex)}, keys.value({int(mapped.index), -1}))
                                     .value(QStringLiteral("pdomapping"));
            QVERIFY2(flag.isEmpty() || valueAtNode5(flag) != 0,
                     qPrintable(QStringLiteral("%1sub%2").arg(mapped.index, 0, 16).arg(mapped.subIndex)));
        }
    }
    // A DCF's PDO disabled by its configured value stays out of the default configuration.
    for (const EdsPdoEntry &offered : qAsConst(slave.edsPdoList)) {
        const QString configured = keys.value({offered.index, 1}).value(QStringLiteral("parametervalue"));
        if (dcf && valueAtNode5(configured) >= 0x80000000)
            QVERIFY2(slave.findPdo(quint32(offered.index)) < 0, qPrintable(QString::number(offered.index, 16)));
    }
    slave.releaseMappedMemory();
    QVERIFY(memoryReservations(station).isEmpty());
}

QTEST_APPLESS_MAIN(tst_EdsCorpus)
#include "tst_edscorpus.moc"
