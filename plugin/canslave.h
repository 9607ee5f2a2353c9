#pragma once

// The plug-in's interface as a host sees it: the records that cross the
// boundary and the exported functions, with C linkage under their plain names.
// Slaves are opaque handles; the host owns each until it calls releaseObject.

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <QtGlobal>

class CanObject;
class QWidget;

// The map record of getInMap and getOutMap, in the host's natural alignment.
struct CanMapInfo {
    quint8 kind;
    quint16 reserved;
    quint8 flags;
    quint8 inputs;
    quint8 outputs;
};

// One symbol getMappingSym offers for an object mapped into a PDO.
struct MappingSymbol {
    QString reserved;  // always empty
    QString name;
    QString address;
    QString comment;
    int value = 0;     // not used by the plug-in
};

// The list compile empties; its elements need no destruction.
using CompileList = QList<void *>;

#if defined(CANSLAVE_LIBRARY)
#define CANSLAVE_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define CANSLAVE_EXPORT extern "C"
#endif

#if defined(__clang__)
// The interface passes Qt value types through C-linkage names on purpose:
// host and plug-in are C++ built against the same Qt.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Object life
CANSLAVE_EXPORT CanObject *createCanObject(void *unused, const QString &edsPath, int nodeId,
                                           const QString &stationKey);
CANSLAVE_EXPORT CanObject *restore(const QByteArray &data, const QString &stationKey);
CANSLAVE_EXPORT CanObject *recompile(const QByteArray &block, const QString &stationKey, int *code);
CANSLAVE_EXPORT void releaseObject(CanObject *slave);
CANSLAVE_EXPORT QByteArray save(CanObject *slave);

// Configuration
CANSLAVE_EXPORT int configCanObject(CanObject *slave, const QList<int> &nodeIds, QWidget *parent,
                                    bool readOnly);
CANSLAVE_EXPORT CanObject *setNodeId(CanObject *slave, int nodeId);
CANSLAVE_EXPORT void setPosition(CanObject *slave, const QPoint &position);

// Queries
CANSLAVE_EXPORT QString getName(CanObject *slave);
CANSLAVE_EXPORT QString getEdsFileName(CanObject *slave);
CANSLAVE_EXPORT QString getComment(void *any);
CANSLAVE_EXPORT int getNodeId(CanObject *slave);
CANSLAVE_EXPORT QPoint getPosition(CanObject *slave);
CANSLAVE_EXPORT int getRackId(void *any);
CANSLAVE_EXPORT int getSlotId(void *any);
CANSLAVE_EXPORT void setRackId(void *any, int id);
CANSLAVE_EXPORT void setSlotId(void *any, int id);
CANSLAVE_EXPORT int getFileVersion(void *any);
CANSLAVE_EXPORT int getCanSlaveList(void *any);
CANSLAVE_EXPORT CanMapInfo getInMap(void *any);
CANSLAVE_EXPORT CanMapInfo getOutMap(void *any);

// Compilation and PLC memory
CANSLAVE_EXPORT int compile(CanObject *slave, QByteArray &block, CompileList &list);
CANSLAVE_EXPORT bool autoMallocInMap(CanObject *slave);
CANSLAVE_EXPORT bool autoMallocOutMap(CanObject *slave);
CANSLAVE_EXPORT QByteArray getInputMemMap(CanObject *slave, int *count);
CANSLAVE_EXPORT QByteArray getOutputMemMap(CanObject *slave, int *count);
CANSLAVE_EXPORT void getMappingSym(CanObject *slave, QList<MappingSymbol> *symbols);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif

// Function pointer types a host resolves the exports into.
namespace canslave {
using CreateCanObjectFn = CanObject *(*)(void *, const QString &, int, const QString &);
using RestoreFn = CanObject *(*)(const QByteArray &, const QString &);
using RecompileFn = CanObject *(*)(const QByteArray &, const QString &, int *);
using ReleaseObjectFn = void (*)(CanObject *);
using SaveFn = QByteArray (*)(CanObject *);
using ConfigCanObjectFn = int (*)(CanObject *, const QList<int> &, QWidget *, bool);
using SetNodeIdFn = CanObject *(*)(CanObject *, int);
using SetPositionFn = void (*)(CanObject *, const QPoint &);
using GetStringFn = QString (*)(CanObject *);
using GetCommentFn = QString (*)(void *);
using GetNodeIdFn = int (*)(CanObject *);
using GetPositionFn = QPoint (*)(CanObject *);
using GetIntFn = int (*)(void *);
using SetIntFn = void (*)(void *, int);
using GetMapFn = CanMapInfo (*)(void *);
using CompileFn = int (*)(CanObject *, QByteArray &, CompileList &);
using AutoMallocFn = bool (*)(CanObject *);
using GetMemMapFn = QByteArray (*)(CanObject *, int *);
using GetMappingSymFn = void (*)(CanObject *, QList<MappingSymbol> *);

// Every export, in the order of this header.
inline const char *const exportNames[] = {
    "createCanObject", "restore", "recompile", "releaseObject", "save",
    "configCanObject", "setNodeId", "setPosition",
    "getName", "getEdsFileName", "getComment", "getNodeId", "getPosition",
    "getRackId", "getSlotId", "setRackId", "setSlotId", "getFileVersion", "getCanSlaveList",
    "getInMap", "getOutMap",
    "compile", "autoMallocInMap", "autoMallocOutMap", "getInputMemMap", "getOutputMemMap",
    "getMappingSym",
};
} // namespace canslave
