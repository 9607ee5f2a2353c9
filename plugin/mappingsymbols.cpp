#include "plugin/mappingsymbols.h"

#include "model/canobject.h"
#include "model/hostservices.h"

#include <QRegExp>

namespace {

constexpr int MaxObjectNameInSymbol = 255;

QString sizeLetter(quint32 dataType)
{
    switch (dataType) {
    case 2: case 5: return QStringLiteral("B");
    case 3: case 6: return QStringLiteral("W");
    case 4: case 7: return QStringLiteral("D");
    default: return QString();
    }
}

QString symbolName(const QString &slaveName, const QString &entryName)
{
    QString part = entryName;
    part.remove(QLatin1Char(' '));
    part.replace(QLatin1Char('-'), QLatin1Char('_'));
    if (QRegExp(QStringLiteral("^[0-9]")).indexIn(part) == 0)
        part.prepend(QLatin1Char('_'));
    return (slaveName + part).left(20);
}

} // namespace

QList<MappingSymbol> buildMappingSymbols(const CanObject &slave)
{
    QList<MappingSymbol> out;
    // Each symbol holds the names once: bounded, so that they never grow with an EDS.
    const QString slaveName = boundedSlaveName(slave.name);
    for (const PDOConfig &pdo : slave.pdoList) {
        for (const PDOMapEntry &e : pdo.mapList) {
            const QString letter = sizeLetter(e.dataType);
            if (letter.isEmpty())
                continue;
            MappingSymbol sym;
            const QString objectName = e.name.left(MaxObjectNameInSymbol);
            sym.comment = slaveName + QStringLiteral(" 16#") + QString::number(e.index, 16).toUpper()
                          + QLatin1Char('_') + QString::number(e.subIndex, 16).toUpper()
                          + QLatin1Char('_') + objectName;
            sym.name = symbolName(slaveName, objectName);
            sym.address = getMemName(VarArea(e.area)) + letter + QString::number(e.offset);
            out.append(sym);
        }
    }
    return out;
}
