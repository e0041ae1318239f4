// libFuzzer target for the log line reader: any bytes give an event that keeps the line (masked), and
// nothing a console password was in comes out of it.
#include "live/logline.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarrow::live;
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const LogEvent e = parseLogLine(line);
    // A line the reader knows carries its time; one without a time stamp is kept whole as another event.
    if (!e.time.isValid() && e.kind != LogKind::Other) __builtin_trap();
    if (e.time.isValid() && e.kind != LogKind::Other && e.raw.isEmpty() && !line.trimmed().isEmpty())
        __builtin_trap();
    // Masking twice changes nothing more: no password survives the first.
    if (maskLogPasswords(e.raw) != e.raw) __builtin_trap();
    logEventText(e);
    return 0;
}
