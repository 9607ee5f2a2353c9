#pragma once

// Runs canslave-host with the built plug-in, as a user runs it.
#include <QProcess>

struct HostRun {
    int status = -1; // also when it crashed or ran for over a minute
    QString out;
    QString err;
};

inline HostRun runHost(const QStringList &arguments, const QStringList &unset = {} /* taken out of the environment */)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : unset)
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CANSLAVE_HOST_PATH), QStringList{"--plugin", CANSLAVE_PLUGIN_PATH} + arguments);
    const bool finished = process.waitForFinished(60000);
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()), QString::fromLocal8Bit(process.readAllStandardError())};
}
