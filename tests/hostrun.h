#pragma once

// Runs canslave-host with the built plug-in, as a user runs it.
#include <QProcess>
#include <QStringList>

struct HostRun {
    int status = -1;
    QString out;
    QString err;
};

// unset: variables taken out of the environment first.
inline HostRun runHost(const QStringList &arguments, const QStringList &unset = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : unset)
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CANSLAVE_HOST_PATH),
                  QStringList{QStringLiteral("--plugin"), QStringLiteral(CANSLAVE_PLUGIN_PATH)} + arguments);
    HostRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}
