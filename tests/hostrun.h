#pragma once

// Runs canslave-host with the built plug-in, unless the arguments name another, as a user runs it.
#include <QProcess>

struct HostRun {
    int status = -1; // also when it crashed or ran for over a minute
    QString out;
    QString err;
};

// through: a program and its arguments that run the host, such as one that drops rights.
inline HostRun runHost(const QStringList &arguments, const QStringList &unset = {} /* taken out of the environment */,
                       const QStringList &through = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : unset)
        environment.remove(name);
    process.setProcessEnvironment(environment);
    const QStringList plugin = arguments.value(0) == QLatin1String("--plugin") ? QStringList() : QStringList{"--plugin", CANSLAVE_PLUGIN_PATH};
    const QStringList command = through + QStringList{CANSLAVE_HOST_PATH} + plugin + arguments;
    process.start(command.first(), command.mid(1));
    const bool finished = process.waitForFinished(60000);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()), QString::fromLocal8Bit(process.readAllStandardError())};
}
