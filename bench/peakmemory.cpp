#include "peakmemory.h"

#include <QByteArray>
#include <QFile>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

qint64 statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

bool resetPeak()
{
    // Writing 5 resets the peak resident size to the current one.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

qint64 peakMemoryOf(const std::function<void()> &work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        ::close(channel[0]);
        qint64 result = -1;
        // Memory the parent freed would otherwise be reused unseen.
        ::malloc_trim(0);
        if (resetPeak()) {
            const qint64 before = statusKilobytes("VmRSS");
            work();
            const qint64 peak = statusKilobytes("VmHWM");
            if (before >= 0 && peak >= 0)
                result = (peak - before) * 1024;
        }
        (void)!::write(channel[1], &result, sizeof result);
        ::_exit(0);
    }
    ::close(channel[1]);
    qint64 result = -1;
    if (::read(channel[0], &result, sizeof result) != sizeof result)
        result = -1;
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}
