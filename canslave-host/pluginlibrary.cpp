#include "pluginlibrary.h"

#include <QByteArray>

bool Plugin::load(const QString &path)
{
    m_library.setFileName(path);
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    for (const char *name : canslave::exportNames) {
        if (QFunctionPointer fn = m_library.resolve(name)) {
            m_functions.insert(name, fn);
            m_resolved.append(QString::fromLatin1(name));
        } else {
            m_missing.append(QString::fromLatin1(name));
        }
    }
    return true;
}

QString defaultPluginPath()
{
    const QByteArray fromEnvironment = qgetenv("CANSLAVE_PLUGIN");
    if (!fromEnvironment.isEmpty())
        return QString::fromLocal8Bit(fromEnvironment);
    return QStringLiteral(CANSLAVE_DEFAULT_PLUGIN);
}
