#pragma once

#include "plugin/canslave.h"

#include <QHash>
#include <QLibrary>
#include <QStringList>

// The plug-in as a host sees it: loaded by path, exports resolved by their plain names.
class Plugin
{
public:
    bool load(const QString &path);
    QString errorString() const { return m_error; }
    QString path() const { return m_library.fileName(); }

    QStringList resolved() const { return m_resolved; }
    QStringList missing() const { return m_missing; }

    // Null when the export is missing.
    template<typename Fn>
    Fn get(const char *name) const { return reinterpret_cast<Fn>(m_functions.value(name)); }

private:
    QLibrary m_library;
    QString m_error;
    QStringList m_resolved;
    QStringList m_missing;
    QHash<QByteArray, QFunctionPointer> m_functions;
};

// The plug-in next to this program unless CANSLAVE_PLUGIN names another.
QString defaultPluginPath();
