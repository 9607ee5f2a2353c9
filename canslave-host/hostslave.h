#pragma once

// The slave a command holds, handed back to the plug-in when the command ends,
// and the files the commands read and write.

#include <QStringList>
#include <QTextStream>

class CanObject;
class Plugin;

namespace refhost {

struct Arguments;
struct PrintChoice;

// False, with a message, when the plug-in lacks one of the exports.
bool requireExports(const Plugin &plugin, const QList<const char *> &names, QTextStream &err);
// The exports printing a slave needs.
const QList<const char *> &printExports();
PrintChoice printChoice(const Arguments &arguments);

class HostSlave
{
public:
    explicit HostSlave(Plugin &plugin) : m_plugin(plugin) {}
    ~HostSlave();
    HostSlave(const HostSlave &) = delete;
    HostSlave &operator=(const HostSlave &) = delete;

    CanObject *get() const { return m_slave; }
    void reset(CanObject *slave);
    // createCanObject with the first input as the EDS, --node and --station; the
    // command has made sure the plug-in exports it.
    bool create(const Arguments &arguments, QTextStream &err);

private:
    Plugin &m_plugin;
    CanObject *m_slave = nullptr;
};

// The whole file or, with the reason, nothing: an old file stays as it was.
QString writeWhole(const QString &path, const QByteArray &bytes);
// As writeWhole, saying on err why it failed.
bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err);
bool readFile(const QString &path, QByteArray &bytes, QTextStream &err);

} // namespace refhost
