// libFuzzer target for the PE version reader: any bytes must give a version or "no version record",
// never a read outside the input.
#include "common/fileversion.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto version = tarrow::fileVersionFromBytes(bytes);
    if (version && version->isEmpty()) __builtin_trap();
    return 0;
}
