#include "hostslave.h"

#include "commands.h"
#include "filekind.h"
#include "pluginlibrary.h"
#include "slavereport.h"

#include <QFile>
#include <QSaveFile>

namespace refhost {

bool requireExports(const Plugin &plugin, const QList<const char *> &names, QTextStream &err)
{
    for (const char *name : names) {
        if (!plugin.get<QFunctionPointer>(name)) {
            err << tr("canslave-host: the plug-in lacks the export %1 this command needs").arg(QLatin1String(name))
                << '\n';
            return false;
        }
    }
    return true;
}

const QList<const char *> &printExports()
{
    static const QList<const char *> names{"compile", "getInputMemMap", "getOutputMemMap", "getMappingSym", "getName",
                                           "releaseObject"};
    return names;
}

PrintChoice printChoice(const Arguments &arguments)
{
    return {arguments.has("--json"), arguments.has("--block")};
}

HostSlave::~HostSlave()
{
    reset(nullptr);
}

void HostSlave::reset(CanObject *slave)
{
    if (m_slave)
        m_plugin.get<canslave::ReleaseObjectFn>("releaseObject")(m_slave);
    m_slave = slave;
}

bool HostSlave::create(const Arguments &arguments, QTextStream &err)
{
    const QString eds = arguments.inputs.value(0);
    QByteArray content;
    if (!readFile(eds, content, err))
        return false;
    // The plug-in makes an empty slave of any readable file; a host would not want it.
    const FileKind kind = fileKind(content);
    if (kind != FileKind::Eds) {
        const QString problem = kind == FileKind::Other ? noEdsContentText() : wrongKindText(kind, FileKind::Eds);
        err << eds << ": " << problem << '\n';
        return false;
    }
    reset(m_plugin.get<canslave::CreateCanObjectFn>("createCanObject")(nullptr, eds, arguments.number("--node"),
                                                                       arguments.value("--station")));
    if (!m_slave) {
        err << tr("%1: the plug-in could not read this as an EDS file and created no slave").arg(eds) << '\n';
        return false;
    }
    return true;
}

QString writeWhole(const QString &path, const QByteArray &bytes)
{
    // Written beside and renamed over the old file only once all of it is on
    // disk: a full disk or a second writer never leaves a cut or mixed file.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return QString();
    return file.errorString();
}

bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err)
{
    const QString failure = writeWhole(path, bytes);
    if (!failure.isEmpty())
        err << path << ": " << failure << '\n';
    return failure.isEmpty();
}

bool readFile(const QString &path, QByteArray &bytes, QTextStream &err)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << path << ": " << file.errorString() << '\n';
        return false;
    }
    bytes = file.readAll();
    return true;
}

} // namespace refhost
