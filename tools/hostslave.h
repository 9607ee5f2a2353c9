#pragma once

// What the slave commands share: their options, the slave they hold (handed
// back to the plug-in when the command ends) and how they print a slave.

#include <QStringList>
#include <QTextStream>

class CanObject;
class Plugin;

struct SlaveOptions {
    QString input;  // the EDS, stream or block file, by command
    int node = 1;
    QString station = QStringLiteral("canslave-host");
    QString output;
    int creatorVersion = -1; // -1: whatever the host's registry says
};

// Accepts the options named in allowed ("--node", "--station", "-o",
// "--creator-version") and one input; inputName is what a missing input is called.
bool parseSlaveOptions(const QStringList &arguments, const QStringList &allowed, const char *inputName,
                       SlaveOptions &o, QTextStream &err);

// False, with a message, when the plug-in lacks one of the exports.
bool requireExports(const Plugin &plugin, const QList<const char *> &names, QTextStream &err);

class HostSlave
{
public:
    explicit HostSlave(Plugin &plugin) : m_plugin(plugin) {}
    ~HostSlave();
    HostSlave(const HostSlave &) = delete;
    HostSlave &operator=(const HostSlave &) = delete;

    CanObject *get() const { return m_slave; }
    void reset(CanObject *slave);
    // createCanObject with the options' input as the EDS.
    bool create(const SlaveOptions &o, QTextStream &err);

private:
    Plugin &m_plugin;
    CanObject *m_slave = nullptr;
};

// Configuration, memory maps, mapping symbols and configuration block of a slave.
void printSlave(const Plugin &plugin, CanObject *slave, QTextStream &out);

bool writeFile(const QString &path, const QByteArray &bytes, QTextStream &err);
bool readFile(const QString &path, QByteArray &bytes, QTextStream &err);
