// libFuzzer target for the live server's reply readers: any bytes give a reply or an error text, never
// a read outside the input. The input also goes through the split-reply assembler as a run of datagrams
// (a length byte before each).
#include "live/replies.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarrow::live;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    if (!parseInfo(bytes, &error) && error.isEmpty()) __builtin_trap();
    if (!parsePlayers(bytes, &error) && error.isEmpty()) __builtin_trap();
    if (!parseRules(bytes, &error) && error.isEmpty()) __builtin_trap();
    parseChallenge(bytes, &error);
    rconText(bytes);
    rconChallenge(bytes);
    SplitAssembler assembler;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = quint8(bytes[at]);
        const QByteArray datagram = bytes.mid(at + 1, length);
        at += 1 + length;
        if (const auto whole = assembler.feed(datagram, &error)) {
            // What comes out is a reply of its own, and never more than came in.
            if (!whole->startsWith(kPrefix) || whole->size() > bytes.size()) __builtin_trap();
            parseRules(*whole, &error);
        }
    }
    return 0;
}
