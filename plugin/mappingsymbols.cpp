#include "plugin/mappingsymbols.h"

#include "eds/mappingword.h"
#include "model/canobject.h"
#include "model/hostservices.h"

#include <QRegExp>
#include <QHash>
#include <QSet>
#include <QVector>

namespace {

constexpr int maxSymbolLength = 20;
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

QString entryPart(const QString &entryName)
{
    QString part = entryName;
    part.remove(QLatin1Char(' '));
    part.replace(QLatin1Char('-'), QLatin1Char('_'));
    if (QRegExp(QStringLiteral("^[0-9]")).indexIn(part) == 0)
        part.prepend(QLatin1Char('_'));
    return part;
}

// The name as it has always been made; kept wherever a PLC program can use it.
QString plainSymbol(const QString &slaveName, const QString &entryName)
{
    return (slaveName + entryPart(entryName)).left(maxSymbolLength);
}

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
           || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

// Blanks removed, "-" and any other character a PLC program cannot declare
// become "_", runs of "_" are folded, a leading digit gets "_" in front.
QString cleaned(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        const QChar kept = isAsciiLetterOrDigit(c) ? c : QLatin1Char('_');
        if (kept != QLatin1Char('_') || !out.endsWith(QLatin1Char('_')))
            out += kept;
    }
    if (!out.isEmpty() && out.at(0).isDigit())
        out.prepend(QLatin1Char('_'));
    return out;
}

QString withoutTrailingUnderscores(QString text)
{
    while (text.endsWith(QLatin1Char('_')))
        text.chop(1);
    return text;
}

// The name cut to length with suffix at its end; no "_" runs where they meet.
QString fitted(const QString &name, const QString &suffix)
{
    return withoutTrailingUnderscores(name.left(maxSymbolLength - suffix.size())) + suffix;
}

} // namespace

bool isPlcIdentifier(const QString &name)
{
    static const QRegExp identifier(QStringLiteral("(?:[A-Za-z]|_[A-Za-z0-9])(?:_?[A-Za-z0-9])*"));
    return identifier.exactMatch(name);
}

QStringList symbolNames(const QString &slaveName, const QStringList &entryNames)
{
    QStringList plain;
    for (const QString &entryName : entryNames)
        plain.append(plainSymbol(slaveName, entryName));
    // A PLC program does not tell upper from lower case in its names.
    const auto key = [](const QString &name) { return name.toLower(); };
    QHash<QString, int> plainCount;
    for (const QString &name : qAsConst(plain))
        ++plainCount[key(name)];
    QSet<QString> used;
    QVector<bool> kept;
    for (const QString &name : qAsConst(plain)) {
        kept.append(plainCount.value(key(name)) == 1 && isPlcIdentifier(name));
        if (kept.last())
            used.insert(key(name));
    }
    QStringList out;
    for (int i = 0; i < plain.size(); ++i) {
        if (kept.at(i)) {
            out.append(plain.at(i));
            continue;
        }
        QString base = fitted(cleaned(slaveName + entryPart(entryNames.at(i))), QString());
        if (base.isEmpty())
            base = QStringLiteral("Symbol");
        QString name = base;
        for (int n = 2; used.contains(key(name)); ++n)
            name = fitted(base, QStringLiteral("_%1").arg(n));
        used.insert(key(name));
        out.append(name);
    }
    return out;
}

QList<MappingSymbol> buildMappingSymbols(const CanObject &slave)
{
    QList<MappingSymbol> out;
    QStringList entryNames;
    // Each symbol holds the names once: bounded, so that they never grow with an EDS.
    const QString slaveName = boundedSlaveName(slave.name);
    for (const PDOConfig &pdo : slave.pdoList) {
        for (const PDOMapEntry &e : pdo.mapList) {
            const QString letter = sizeLetter(e.dataType);
            if (letter.isEmpty() || isDummyIndex(int(e.index)))
                continue;
            MappingSymbol sym;
            const QString objectName = e.name.left(MaxObjectNameInSymbol);
            sym.comment = slaveName + QStringLiteral(" 16#") + QString::number(e.index, 16).toUpper()
                          + QLatin1Char('_') + QString::number(e.subIndex, 16).toUpper()
                          + QLatin1Char('_') + objectName;
            sym.address = getMemName(VarArea(e.area)) + letter + QString::number(e.offset);
            entryNames.append(objectName);
            out.append(sym);
        }
    }
    const QStringList names = symbolNames(slaveName, entryNames);
    for (int i = 0; i < out.size(); ++i)
        out[i].name = names.at(i);
    return out;
}
