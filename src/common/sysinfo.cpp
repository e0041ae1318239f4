#include "sysinfo.h"

#include <QFile>
#include <QSysInfo>
#include <QThread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define TARROW_HAS_TSC 1
#endif

#include <pthread.h>
#include <sched.h>

namespace tarrow {

QString memoryText(const QString& meminfo, const char* totalKey, const char* availableKey) {
    quint64 total = 0, available = 0;
    const QStringList lines = meminfo.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() < 2) continue;
        // Values are in KiB; shifting bytes right by 20 is the same as KiB right by 10.
        if (f[0] == QLatin1String(totalKey) + QLatin1Char(':')) total = f[1].toULongLong();
        if (f[0] == QLatin1String(availableKey) + QLatin1Char(':')) available = f[1].toULongLong();
    }
    return QStringLiteral("%1 MB,%2 MB").arg(total >> 10).arg(available >> 10);
}

namespace {

QString readMeminfo() {
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

} // namespace

QString PhysicalMemoryText() {
    return memoryText(readMeminfo(), "MemTotal", "MemAvailable");
}

QString SwapFileText() {
    return memoryText(readMeminfo(), "SwapTotal", "SwapFree");
}

QString WindowsVersionText() {
    return QSysInfo::prettyProductName();
}

double CpuSpeedMHz() {
#ifdef TARROW_HAS_TSC
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(edx & (1u << 4))) return 0.0;

    // Real-time scheduling where the system permits it; otherwise the normal priority serves.
    int oldPolicy = 0;
    sched_param oldParam{};
    pthread_getschedparam(pthread_self(), &oldPolicy, &oldParam);
    sched_param fifo{};
    fifo.sched_priority = sched_get_priority_max(SCHED_FIFO);
    const bool raised = pthread_setschedparam(pthread_self(), SCHED_FIFO, &fifo) == 0;

    QThread::msleep(10);
    const unsigned long long start = __rdtsc();
    QThread::msleep(500);
    const unsigned long long end = __rdtsc();

    if (raised) pthread_setschedparam(pthread_self(), oldPolicy, &oldParam);
    return double(end - start) / 500000.0;
#else
    return 0.0;
#endif
}

} // namespace tarrow
