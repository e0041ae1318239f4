#pragma once

#include <QString>

namespace tarrow {

// "total MB,available MB" of physical memory and of swap, in whole mebibytes, from /proc/meminfo.
QString PhysicalMemoryText();
QString SwapFileText();
// Texts of the same form from a meminfo text (the readers above and the tests use it).
QString memoryText(const QString& meminfo, const char* totalKey, const char* availableKey);

// The operating system's name. On Windows the family names of the old version record; elsewhere the
// system's product name.
QString WindowsVersionText();

// Processor clock in MHz measured with the time-stamp counter over 500 ms; 0 without CPUID or TSC.
double CpuSpeedMHz();

} // namespace tarrow
