#pragma once
// What the window's benchmarks share: their output, medians, settings from the environment,
// and the process's memory and processor time as the system tells them.

#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

inline void Say(const QString& text)
{
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

inline QString Seconds(double s)
{
    return QString::number(s, 'f', 3) + QStringLiteral(" s");
}

inline QString Verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("missed");
}

// Processor time the program has used so far, user and system, in seconds: set beside the
// elapsed times, it tells a slow run from a busy machine.
inline double ProcessorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto toSeconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline int Setting(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// A memory figure of the process's status file ("VmHWM:", "VmRSS:"), in MiB; -1 where the
// system does not tell.
inline double StatusMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toDouble() /
                   1024.0;
    }
    return -1;
}

// The process's peak resident memory so far, in MiB; -1 where the system does not tell.
inline double PeakMemoryMiB()
{
    return StatusMiB("VmHWM:");
}

// The process's resident memory now, in MiB; -1 where the system does not tell.
inline double ResidentMemoryMiB()
{
    return StatusMiB("VmRSS:");
}

// Starts the peak over, so that a phase is measured apart from the ones before it.
inline bool ResetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

inline QString LoadText()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(file.readAll().split(' ').mid(0, 3).join(' '))
               : QStringLiteral("unknown");
}
