#include "ui/sdovaluecheck.h"

#include "eds/edsentry.h"
#include "model/sdovalue.h"

namespace {

bool isSignedType(int dataType)
{
    return dataType == DataTypeInteger8 || dataType == DataTypeInteger16 || dataType == DataTypeInteger32;
}

bool isIntegerType(int dataType)
{
    return dataType == DataTypeBoolean || isSignedType(dataType) || dataType == DataTypeUnsigned8
        || dataType == DataTypeUnsigned16 || dataType == DataTypeUnsigned32;
}

SdoValueProblem problem(SdoValueProblem::Kind kind, qint64 low = 0, qint64 high = 0)
{
    SdoValueProblem p;
    p.kind = kind;
    p.low = low;
    p.high = high;
    return p;
}

quint64 bytesPattern(const QByteArray &bytes)
{
    quint64 pattern = 0;
    for (const char byte : bytes)
        pattern = (pattern << 8) | quint8(byte);
    return pattern;
}

// What the object's type can hold.
void typeRange(int dataType, qint64 &low, qint64 &high)
{
    if (dataType == DataTypeBoolean) {
        low = 0;
        high = 1;
        return;
    }
    const int bits = 8 * dataTypeSize(dataType);
    if (isSignedType(dataType)) {
        low = -(qint64(1) << (bits - 1));
        high = (qint64(1) << (bits - 1)) - 1;
    } else {
        low = 0;
        high = (qint64(1) << bits) - 1;
    }
}

bool limitsGiven(const EdsEntry &object)
{
    return object.lowLimit != 0 || object.highLimit != 0;
}

// The limits the EDS gives, within the type's own range.
void limitRange(const EdsEntry &object, int nodeId, qint64 typeLow, qint64 typeHigh, qint64 &low, qint64 &high)
{
    const qint64 lowLimit = qint64(object.lowLimit) + ((object.limitsNodeRelative & 1) ? nodeId : 0);
    const qint64 highLimit = qint64(object.highLimit) + ((object.limitsNodeRelative & 2) ? nodeId : 0);
    low = qMax(typeLow, lowLimit);
    high = highLimit >= lowLimit ? qMin(typeHigh, highLimit) : typeHigh;
}

SdoValueProblem realProblem(const QString &s, bool pattern, const EdsEntry &object, int nodeId)
{
    if (pattern)
        return {};
    if (!s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('E')))
        return problem(SdoValueProblem::DecimalPoint);
    if (!limitsGiven(object))
        return {};
    const double value = s.toDouble();
    qint64 low = 0;
    qint64 high = 0;
    limitRange(object, nodeId, qint64(-2147483648LL), qint64(2147483647LL), low, high);
    if (value < double(low) || value > double(high))
        return problem(SdoValueProblem::Limits, low, high);
    return {};
}

} // namespace

SdoValueProblem sdoValueProblem(const QString &text, int length, const EdsEntry *object, int nodeId)
{
    const QString s = text.simplified().toUpper();
    if (s.isEmpty())
        return problem(SdoValueProblem::Empty);
    if (!isSdoValueValid(text, length))
        return problem(SdoValueProblem::Length);
    if (!object)
        return {};
    const bool pattern = s.startsWith(QLatin1String("2#")) || s.startsWith(QLatin1String("16#"));
    if (object->dataType == DataTypeReal32)
        return realProblem(s, pattern, *object, nodeId);
    if (!isIntegerType(object->dataType))
        return {};
    if (!pattern && (s.contains(QLatin1Char('.')) || s.contains(QLatin1Char('E'))))
        return problem(SdoValueProblem::WholeNumber);

    qint64 typeLow = 0;
    qint64 typeHigh = 0;
    typeRange(object->dataType, typeLow, typeHigh);
    qint64 value = 0;
    if (pattern) {
        const quint64 bits = bytesPattern(sdoValueBytes(text, length));
        const int width = 8 * dataTypeSize(object->dataType);
        value = isSignedType(object->dataType) && (bits >> (width - 1)) ? qint64(bits) - (qint64(1) << width) : qint64(bits);
    } else {
        value = s.toLongLong();
    }
    if (value < typeLow || value > typeHigh)
        return problem(SdoValueProblem::TypeRange, typeLow, typeHigh);
    if (!limitsGiven(*object))
        return {};
    qint64 low = 0;
    qint64 high = 0;
    limitRange(*object, nodeId, typeLow, typeHigh, low, high);
    if (value < low || value > high)
        return problem(SdoValueProblem::Limits, low, high);
    return {};
}
