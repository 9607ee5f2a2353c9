// Loads the built plug-in the way a host does and checks what it exports.

#include "plugin/canslave.h"

#include <QLibrary>
#include <QProcess>
#include <QtTest>

namespace {
// The exports the plug-in offers so far; the rest of the interface lands with the
// EDS, compile, project stream and dialog work.
const QStringList implemented = {
    QStringLiteral("releaseObject"), QStringLiteral("setNodeId"), QStringLiteral("setPosition"),
    QStringLiteral("getName"), QStringLiteral("getEdsFileName"), QStringLiteral("getComment"),
    QStringLiteral("getNodeId"), QStringLiteral("getPosition"), QStringLiteral("getRackId"),
    QStringLiteral("getSlotId"), QStringLiteral("setRackId"), QStringLiteral("setSlotId"),
    QStringLiteral("getFileVersion"), QStringLiteral("getCanSlaveList"),
    QStringLiteral("getInMap"), QStringLiteral("getOutMap"),
    QStringLiteral("createCanObject"), QStringLiteral("compile"), QStringLiteral("autoMallocInMap"),
    QStringLiteral("autoMallocOutMap"), QStringLiteral("getInputMemMap"), QStringLiteral("getOutputMemMap"),
    QStringLiteral("getMappingSym"), QStringLiteral("save"), QStringLiteral("restore"),
    QStringLiteral("recompile"), QStringLiteral("configCanObject"),
};
} // namespace

class tst_Exports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void onlyPlainNamesAreExported();
    void nullHandles();
    void referenceHostListsExports();

private:
    QLibrary library{QStringLiteral(CANSLAVE_PLUGIN_PATH)};
    template<typename Fn>
    Fn resolve(const char *name)
    {
        return reinterpret_cast<Fn>(library.resolve(name));
    }
};

void tst_Exports::initTestCase()
{
    QVERIFY2(library.load(), qPrintable(library.errorString()));
}

void tst_Exports::onlyPlainNamesAreExported()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                    QStringLiteral(CANSLAVE_PLUGIN_PATH)});
    QVERIFY(nm.waitForFinished(30000));
    QCOMPARE(nm.exitCode(), 0);

    QStringList defined;
    const QList<QByteArray> lines = nm.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3)
            continue;
        // Absolute symbols are the linker's version markers, not ours.
        if (fields.at(1) == "A")
            continue;
        defined.append(QString::fromLatin1(fields.at(2)));
    }
    QStringList interface;
    for (const char *name : canslave::exportNames)
        interface.append(QString::fromLatin1(name));
    for (const QString &name : qAsConst(defined))
        QVERIFY2(interface.contains(name), qPrintable(name + QLatin1String(" is exported but not part of the interface")));
    QStringList expected = implemented;
    defined.sort();
    expected.sort();
    QCOMPARE(defined, expected);
}

void tst_Exports::nullHandles()
{
    for (const QString &name : implemented)
        QVERIFY2(library.resolve(name.toLatin1().constData()), qPrintable(name));
    QCOMPARE(resolve<canslave::GetNodeIdFn>("getNodeId")(nullptr), -1);
    QCOMPARE(resolve<canslave::GetStringFn>("getName")(nullptr), QString());
    QCOMPARE(resolve<canslave::GetStringFn>("getEdsFileName")(nullptr), QString());
    QCOMPARE(resolve<canslave::GetPositionFn>("getPosition")(nullptr), QPoint(0, 0));
    QVERIFY(!resolve<canslave::SetNodeIdFn>("setNodeId")(nullptr, 5));
    resolve<canslave::SetPositionFn>("setPosition")(nullptr, QPoint(1, 2));
    resolve<canslave::ReleaseObjectFn>("releaseObject")(nullptr);
    QList<MappingSymbol> symbols;
    resolve<canslave::GetMappingSymFn>("getMappingSym")(nullptr, &symbols);
    QVERIFY(symbols.isEmpty());
    QVERIFY(resolve<canslave::SaveFn>("save")(nullptr).isEmpty());
    int code = 0;
    QVERIFY(!resolve<canslave::RecompileFn>("recompile")(QByteArray(), QStringLiteral("st"), &code));
    QCOMPARE(code, 1);
    QVERIFY(!resolve<canslave::RecompileFn>("recompile")(QByteArray(), QStringLiteral("st"), nullptr));
    // The map records: kind 0, (pad), flags 0, one input, one output; padding bytes are not compared.
    QCOMPARE(sizeof(CanMapInfo), size_t(8));
    for (const char *name : {"getInMap", "getOutMap"}) {
        const CanMapInfo info = resolve<canslave::GetMapFn>(name)(nullptr);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&info), sizeof info).mid(2, 5), QByteArray::fromHex("0000000101"));
        QCOMPARE(int(info.kind), 0);
    }
}

void tst_Exports::referenceHostListsExports()
{
    QProcess host;
    host.start(QStringLiteral(CANSLAVE_HOST_PATH), {QStringLiteral("exports")});
    QVERIFY(host.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(host.readAllStandardOutput());
    QVERIFY2(output.contains(QStringLiteral("%1 exports resolved").arg(implemented.size())),
             qPrintable(output));
    QCOMPARE(host.exitCode(), implemented.size() == int(std::size(canslave::exportNames)) ? 0 : 1);
}

QTEST_GUILESS_MAIN(tst_Exports)
#include "tst_exports.moc"
