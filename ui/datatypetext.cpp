#include "ui/datatypetext.h"

#include "eds/edsentry.h"

#include <QCoreApplication>

namespace {

// Shared by every table that shows a type; translated under the context that named them first.
QString typeText(const char *text)
{
    return QCoreApplication::translate("PDOParameterListTable", text);
}

} // namespace

QString dataTypeText(int dataType)
{
    switch (dataType) {
    case DataTypeBoolean: return typeText("Bool");
    case DataTypeInteger8: return typeText("Int8");
    case DataTypeInteger16: return typeText("Int16");
    case DataTypeInteger32: return typeText("Int32");
    case DataTypeUnsigned8: return typeText("UInt8");
    case DataTypeUnsigned16: return typeText("UInt16");
    case DataTypeUnsigned32: return typeText("UInt32");
    case DataTypeReal32: return typeText("Float point");
    case DataTypeVisibleString: return typeText("VisString");
    }
    return typeText("Unknown");
}

QString dataSizeText(int dataType)
{
    const int size = dataTypeSize(dataType);
    return size > 0 ? QString::number(size) : QString();
}
