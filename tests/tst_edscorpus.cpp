// Real EDS and DCF files of many vendors and tools, checked against a plain scan
// of their section heads that shares nothing with the reader.
#include "eds/edsfile.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString corpusPath = QStringLiteral(CANSLAVE_CORPUS);

struct ScannedHeads {
    QList<int> objects;
    QList<QPair<int, int>> subIndexes;
    QList<int> listed; // indexes named in the three object lists
};

ScannedHeads scanHeads(const QByteArray &data)
{
    const auto pattern = [](const char *text) {
        return QRegularExpression(QLatin1String(text), QRegularExpression::CaseInsensitiveOption);
    };
    static const QRegularExpression object = pattern("^\\[\\s*([0-9A-F]{4})\\s*\\]$");
    static const QRegularExpression sub = pattern("^\\[\\s*([0-9A-F]{4})sub([0-9A-F]{1,2})\\s*\\]$");
    static const QRegularExpression list = pattern("^\\[\\s*(Mandatory|Optional|Manufacturer)Objects\\s*\\]$");
    static const QRegularExpression listLine = pattern("^[0-9]+\\s*=\\s*0x([0-9A-F]{1,4})$");
    ScannedHeads heads;
    bool inList = false;
    for (const QByteArray &raw : data.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        QRegularExpressionMatch match;
        if (line.startsWith(QLatin1Char('['))) {
            inList = list.match(line).hasMatch();
            if ((match = object.match(line)).hasMatch())
                heads.objects.append(match.captured(1).toInt(nullptr, 16));
            else if ((match = sub.match(line)).hasMatch())
                heads.subIndexes.append({match.captured(1).toInt(nullptr, 16), match.captured(2).toInt(nullptr, 16)});
        } else if (inList && (match = listLine.match(line)).hasMatch()) {
            heads.listed.append(match.captured(1).toInt(nullptr, 16));
        }
    }
    return heads;
}

} // namespace

class tst_EdsCorpus : public QObject
{
    Q_OBJECT

private slots:
    void loadsEveryFile_data()
    {
        QTest::addColumn<QString>("path");
        const QDir corpus(corpusPath);
        if (!corpus.exists())
            QTest::newRow("absent") << QString();
        for (const QString &file : corpus.entryList({"*.eds", "*.dcf", "*.EDS", "*.DCF"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file)) << corpus.filePath(file);
    }
    void loadsEveryFile()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no corpus at %1").arg(corpusPath)));
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
            QCOMPARE(qMakePair(entry.index, entry.subIndex), sub);
        }
        // Listed communication objects that are there are offered as PDOs.
        const QList<EdsEntry> receive = eds->receivePdoObjects(), transmit = eds->transmitPdoObjects();
        for (int index : heads.listed) {
            if (!heads.objects.contains(index) || !((index >= 0x1400 && index <= 0x15FF) || (index >= 0x1800 && index <= 0x19FF)))
                continue;
            const QList<EdsEntry> &pdos = index < 0x1800 ? receive : transmit;
            const bool offered = std::any_of(pdos.cbegin(), pdos.cend(), [&](const EdsEntry &e) { return e.index == index; });
            QVERIFY2(offered, qPrintable(QString::number(index, 16)));
        }
    }
};

QTEST_APPLESS_MAIN(tst_EdsCorpus)
#include "tst_edscorpus.moc"
