#include "ui/pdotext.h"

#include "model/canobject.h"
#include "ui/numbertext.h"

#include <QCoreApplication>
#include <QRegularExpression>

QString pdoDescriptionText(const PDOConfig &pdo)
{
    static const QRegularExpression numbered(QStringLiteral("^[RT]PDO\\d"));
    if (numbered.match(pdo.name).hasMatch())
        return CanObject::shortDescription(pdo);
    const QString kind = pdo.direction == PdoReceive ? QStringLiteral("RxPDO") : QStringLiteral("TxPDO");
    return QStringLiteral("%1 %2").arg(kind).arg((pdo.commIndex & 0x1FF) + 1);
}

QString cobIdText(quint32 cobId)
{
    QString text = hexText(cobId & 0x1FFFFFFF);
    if (cobId & 0x80000000u)
        text += QLatin1Char(' ') + QCoreApplication::translate("PDOpage", "invalid");
    if (cobId & 0x40000000u)
        text += QLatin1Char(' ') + QCoreApplication::translate("PDOpage", "no RTR");
    if (cobId & 0x20000000u)
        text += QLatin1Char(' ') + QCoreApplication::translate("PDOpage", "29-bit");
    return text;
}
