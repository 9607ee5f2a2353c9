// Writes what the fuzz targets start from: each bundled EDS's default slave, as a
// project stream for fuzz_restore and as a configuration block for fuzz_recompile.
// Run from the project's root: write_fuzz_seeds fuzz/seeds

#include "model/canobject.h"
#include "plugin/canslave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char **argv)
{
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: write_fuzz_seeds SEEDS_FOLDER\n";
        return 2;
    }
    const QString seeds = QString::fromLocal8Bit(argv[1]);
    int written = 0;
    for (const QString &dir : {QStringLiteral("examples"), QStringLiteral("tests/data")}) {
        for (const QString &name : QDir(dir).entryList({QStringLiteral("*.eds")}, QDir::Files, QDir::Name)) {
            CanObject *slave = createCanObject(nullptr, dir + QLatin1Char('/') + name, 7, QStringLiteral("/stations/seeds.stn"));
            if (!slave)
                continue;
            QByteArray block;
            CompileList list;
            compile(slave, block, list);
            const QString stem = seeds + QStringLiteral("/fuzz_%1/") + QFileInfo(name).completeBaseName() + QStringLiteral("-0.%2");
            QFile stream(stem.arg(QStringLiteral("restore"), QStringLiteral("stream")));
            QFile blockFile(stem.arg(QStringLiteral("recompile"), QStringLiteral("block")));
            if (!stream.open(QIODevice::WriteOnly) || !blockFile.open(QIODevice::WriteOnly)
                || stream.write(save(slave)) < 0 || blockFile.write(block) < 0) {
                err << "cannot write " << stream.fileName() << '\n';
                releaseObject(slave);
                return 1;
            }
            releaseObject(slave);
            ++written;
        }
    }
    err << written << " slaves written\n";
    return written > 0 ? 0 : 1;
}
