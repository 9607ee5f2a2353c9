// Each export with its n-th allocation failing, for every n the call makes:
// nothing escapes into the host, the answer is a whole one or the failure
// answer, and every PLC place goes back once the slaves are released.

#include "plugin/canobject.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"

#include <QtTest>

#include <cstdlib>
#include <new>

namespace {

int allocationsLeft = -1; // -1: none fails
int failures = 0;

void *allocate(std::size_t size)
{
    if (allocationsLeft == 0) {
        allocationsLeft = -1;
        ++failures;
        throw std::bad_alloc();
    }
    if (allocationsLeft > 0)
        --allocationsLeft;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void *allocateOrNull(std::size_t size) noexcept
{
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

} // namespace

// Every form that pairs with these frees, so that no sanitizer sees a mismatch.
void *operator new(std::size_t size) { return allocate(size); }
void *operator new[](std::size_t size) { return allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return allocateOrNull(size); }
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept { return allocateOrNull(size); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }

namespace {

const QString key = QStringLiteral("station-a");

QString fixture()
{
    return QStringLiteral(CANSLAVE_TEST_DATA "/slave-defaults.eds");
}

QByteArray blockOf(CanObject *s)
{
    QByteArray block;
    CompileList list;
    compile(s, block, list);
    return block;
}

} // namespace

class tst_ExportsNoThrow : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearAllMemory(); }
    void failingAllocation_data();
    void failingAllocation();
};

void tst_ExportsNoThrow::failingAllocation_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"createCanObject", "restore", "recompile", "save", "compile", "autoMallocInMap",
                             "autoMallocOutMap", "getInputMemMap", "getOutputMemMap", "getMappingSym", "setNodeId",
                             "releaseObject"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_ExportsNoThrow::failingAllocation()
{
    QFETCH(QString, name);
    for (int n = 0;; ++n) {
        CanObject *slave = createCanObject(nullptr, fixture(), 5, key);
        QVERIFY(slave);
        const QByteArray stream = save(slave);
        // A copy of the slave's block, so that recompile must claim its places afresh.
        const QByteArray block = blockOf(slave);
        QList<MappingSymbol> symbols;
        getMappingSym(slave, &symbols);
        const int symbolCount = symbols.size();
        symbols.clear();
        if (name == QLatin1String("recompile")) {
            releaseObject(slave);
            slave = nullptr;
        }

        CanObject *made = nullptr;
        bool escaped = false;
        QByteArray bytes;
        int count = -1;
        failures = 0;
        allocationsLeft = n;
        try {
            if (name == QLatin1String("createCanObject")) {
                made = createCanObject(nullptr, fixture(), 6, key);
            } else if (name == QLatin1String("restore")) {
                releaseObject(slave);
                slave = nullptr;
                made = restore(stream, key);
            } else if (name == QLatin1String("recompile")) {
                made = recompile(block, key, &count);
            } else if (name == QLatin1String("save")) {
                bytes = save(slave);
                count = bytes.isEmpty() || bytes == stream ? 0 : 1;
            } else if (name == QLatin1String("compile")) {
                CompileList list;
                const int result = compile(slave, bytes, list);
                count = (result == 0 && bytes == block) || (result == -1 && bytes.isEmpty()) ? 0 : 1;
            } else if (name == QLatin1String("autoMallocInMap")) {
                autoMallocInMap(slave);
            } else if (name == QLatin1String("autoMallocOutMap")) {
                autoMallocOutMap(slave);
            } else if (name.startsWith(QLatin1String("get")) && name.endsWith(QLatin1String("MemMap"))) {
                const bool input = name == QLatin1String("getInputMemMap");
                bytes = input ? getInputMemMap(slave, &count) : getOutputMemMap(slave, &count);
                count = bytes.size() == count * (input ? 6 : 7) ? 0 : 1;
            } else if (name == QLatin1String("getMappingSym")) {
                getMappingSym(slave, &symbols);
                count = symbols.isEmpty() || symbols.size() == symbolCount ? 0 : 1;
            } else if (name == QLatin1String("setNodeId")) {
                count = setNodeId(slave, 9) == slave || !setNodeId(slave, 9) ? 0 : 1;
            } else if (name == QLatin1String("releaseObject")) {
                releaseObject(slave);
                slave = nullptr;
            }
        } catch (...) {
            escaped = true;
        }
        allocationsLeft = -1;
        QVERIFY2(!escaped, qPrintable(QStringLiteral("allocation %1 escaped").arg(n)));
        if (name == QLatin1String("recompile"))
            QCOMPARE(made != nullptr, count == -1);
        else
            QVERIFY2(count <= 0, qPrintable(QStringLiteral("allocation %1: a broken answer").arg(n)));
        releaseObject(made);
        releaseObject(slave);
        QVERIFY2(memoryReservations(key).isEmpty(), qPrintable(QStringLiteral("allocation %1 left places").arg(n)));
        if (failures == 0)
            break;
    }
}

QTEST_GUILESS_MAIN(tst_ExportsNoThrow)
#include "tst_exportsnothrow.moc"
