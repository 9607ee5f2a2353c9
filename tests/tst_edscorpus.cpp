// Real EDS and DCF files of many vendors and tools, checked against a plain scan
// of their section heads that shares nothing with the reader.
#include "eds/edsfile.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

class tst_EdsCorpus : public QObject
{
    Q_OBJECT

private slots:
    void loadsEveryFile_data();
    void loadsEveryFile();
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

QTEST_APPLESS_MAIN(tst_EdsCorpus)
#include "tst_edscorpus.moc"
