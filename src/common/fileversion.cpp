#include "fileversion.h"

#include "paths.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarrow {

namespace {

thread_local qint64 tBytesRead = 0;

// Random access to the image, bounded by its size; every read is checked.
class Source {
  public:
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    // Reads exactly n bytes at offset or fails.
    virtual bool read(qint64 offset, qint64 n, char* out) = 0;

    bool u16(qint64 offset, uint16_t& v) {
        unsigned char b[2];
        if (!read(offset, 2, reinterpret_cast<char*>(b))) return false;
        v = uint16_t(b[0] | (b[1] << 8));
        return true;
    }
    bool u32(qint64 offset, uint32_t& v) {
        unsigned char b[4];
        if (!read(offset, 4, reinterpret_cast<char*>(b))) return false;
        v = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
        return true;
    }
};

// Reads the file in aligned blocks kept for the length of one lookup: the headers, the section table
// and the resource tree are each a handful of small reads close together, so most reads cost no call
// to the system at all.
class FileSource : public Source {
  public:
    FileSource(int fd, qint64 size) : fd_(fd), size_(size) {}
    qint64 size() const override { return size_; }
    bool read(qint64 offset, qint64 n, char* out) override {
        if (offset < 0 || n < 0 || offset > size_ || n > size_ - offset) return false;
        tBytesRead += n;
        while (n > 0) {
            const Block* block = blockAt(offset);
            if (!block) return false;
            const qint64 inBlock = offset - block->start;
            const qint64 take = std::min(n, block->length - inBlock);
            if (take <= 0) return false;
            std::memcpy(out, block->bytes + inBlock, size_t(take));
            out += take;
            offset += take;
            n -= take;
        }
        return true;
    }

  private:
    static constexpr qint64 kBlock = 1024;
    static constexpr int kBlocks = 4;
    struct Block {
        qint64 start = -1;
        qint64 length = 0;
        char bytes[kBlock];
    };

    const Block* blockAt(qint64 offset) {
        const qint64 start = offset - offset % kBlock;
        for (const Block& b : blocks_)
            if (b.start == start) return &b;
        Block& b = blocks_[next_];
        next_ = (next_ + 1) % kBlocks;
        b.start = -1;
        const qint64 want = std::min(kBlock, size_ - start);
        qint64 got = 0;
        while (got < want) {
            const ssize_t r = ::pread(fd_, b.bytes + got, size_t(want - got), off_t(start + got));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) return nullptr;
            got += r;
        }
        b.start = start;
        b.length = got;
        return &b;
    }

    int fd_;
    qint64 size_;
    std::array<Block, kBlocks> blocks_;
    int next_ = 0;
};

class BytesSource : public Source {
  public:
    explicit BytesSource(const QByteArray& b) : b_(b) {}
    qint64 size() const override { return b_.size(); }
    bool read(qint64 offset, qint64 n, char* out) override {
        if (offset < 0 || n < 0 || offset > b_.size() || n > b_.size() - offset) return false;
        tBytesRead += n;
        std::memcpy(out, b_.constData() + offset, size_t(n));
        return true;
    }

  private:
    const QByteArray& b_;
};

struct Section {
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawSize;
    uint32_t rawOffset;
};

constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr int kMaxSections = 96;

class PeVersionReader {
  public:
    explicit PeVersionReader(Source& src) : src_(src) {}

    std::optional<QString> run() {
        uint16_t mz = 0;
        if (!src_.u16(0, mz) || mz != 0x5A4D) return std::nullopt;
        uint32_t peOffset = 0;
        if (!src_.u32(0x3C, peOffset)) return std::nullopt;
        uint32_t signature = 0;
        if (!src_.u32(peOffset, signature) || signature != 0x00004550) return std::nullopt;
        const qint64 coff = qint64(peOffset) + 4;
        uint16_t sectionCount = 0, optionalSize = 0;
        if (!src_.u16(coff + 2, sectionCount) || !src_.u16(coff + 16, optionalSize)) return std::nullopt;
        if (sectionCount == 0 || sectionCount > kMaxSections) return std::nullopt;
        const qint64 optional = coff + 20;
        uint16_t magic = 0;
        if (!src_.u16(optional, magic)) return std::nullopt;
        qint64 dirBase = 0;
        if (magic == 0x10B)
            dirBase = optional + 96;
        else if (magic == 0x20B)
            dirBase = optional + 112;
        else
            return std::nullopt;
        // The resource table is data directory 2; it must lie inside the optional header.
        if (dirBase + 3 * qint64(8) > optional + optionalSize) return std::nullopt;
        uint32_t resourceRva = 0, resourceSize = 0;
        if (!src_.u32(dirBase + 16, resourceRva) || !src_.u32(dirBase + 20, resourceSize))
            return std::nullopt;
        if (resourceRva == 0 || resourceSize == 0) return std::nullopt;

        const qint64 sectionTable = optional + optionalSize;
        for (int i = 0; i < sectionCount; ++i) {
            char raw[40];
            if (!src_.read(sectionTable + qint64(i) * 40, 40, raw)) return std::nullopt;
            Section s{};
            std::memcpy(&s.virtualSize, raw + 8, 4);
            std::memcpy(&s.virtualAddress, raw + 12, 4);
            std::memcpy(&s.rawSize, raw + 16, 4);
            std::memcpy(&s.rawOffset, raw + 20, 4);
            sections_[i] = s;
        }
        sectionCount_ = sectionCount;

        const std::optional<qint64> root = fileOffset(resourceRva, 16);
        if (!root) return std::nullopt;
        rootOffset_ = *root;
        rootRva_ = resourceRva;

        // Three levels: type, name, language. Each entry is followed once; nothing can loop.
        const std::optional<uint32_t> typeDir = findEntry(rootOffset_, EntryMatch::ById, kRtVersion);
        if (!typeDir) return std::nullopt;
        const std::optional<uint32_t> nameDir = findEntry(*typeDir, EntryMatch::First);
        if (!nameDir) return std::nullopt;
        const std::optional<uint32_t> langData = findEntry(*nameDir, EntryMatch::First, 0, EntryTarget::Data);
        if (!langData) return std::nullopt;

        uint32_t dataRva = 0, dataSize = 0;
        if (!src_.u32(*langData, dataRva) || !src_.u32(*langData + 4, dataSize)) return std::nullopt;
        return readVersionInfo(dataRva, dataSize);
    }

  private:
    // Maps a range of the image to a range of the file; nullopt when it is not wholly inside a section's
    // raw data or the file.
    std::optional<qint64> fileOffset(uint32_t rva, uint32_t length) const {
        for (int i = 0; i < sectionCount_; ++i) {
            const Section& s = sections_[i];
            const uint64_t extent = std::max(s.virtualSize, s.rawSize);
            if (uint64_t(rva) >= s.virtualAddress &&
                uint64_t(rva) + length <= uint64_t(s.virtualAddress) + extent) {
                const uint64_t delta = uint64_t(rva) - s.virtualAddress;
                if (delta + length > s.rawSize) return std::nullopt;
                const uint64_t off = uint64_t(s.rawOffset) + delta;
                if (off + length > uint64_t(src_.size())) return std::nullopt;
                return qint64(off);
            }
        }
        return std::nullopt;
    }

    enum class EntryMatch { ById, First };
    enum class EntryTarget { Directory, Data };

    // In the directory at `dirOffset` (a file offset), the entry with the wanted id (or the first entry).
    // Returns the file offset of the sub-directory or of the data entry, as `target` asks; the
    // directory-or-data bit must agree with it.
    std::optional<uint32_t> findEntry(qint64 dirOffset, EntryMatch match, uint32_t id = 0,
                                      EntryTarget target = EntryTarget::Directory) {
        const bool matchId = match == EntryMatch::ById;
        const bool wantData = target == EntryTarget::Data;
        uint16_t named = 0, ids = 0;
        if (!src_.u16(dirOffset + 12, named) || !src_.u16(dirOffset + 14, ids)) return std::nullopt;
        const int count = int(named) + int(ids);
        if (count == 0) return std::nullopt;
        for (int i = 0; i < count; ++i) {
            uint32_t nameField = 0, offsetField = 0;
            const qint64 entry = dirOffset + 16 + qint64(i) * 8;
            if (!src_.u32(entry, nameField) || !src_.u32(entry + 4, offsetField)) return std::nullopt;
            if (matchId && ((nameField & 0x80000000u) || nameField != id)) continue;
            const bool isDir = (offsetField & 0x80000000u) != 0;
            if (isDir == wantData) return std::nullopt;
            const uint32_t relative = offsetField & 0x7FFFFFFFu;
            if (uint64_t(rootRva_) + relative > 0xFFFFFFFFull) return std::nullopt;
            const std::optional<qint64> off = fileOffset(rootRva_ + relative, 16);
            if (!off) return std::nullopt;
            return uint32_t(*off);
        }
        return std::nullopt;
    }

    std::optional<QString> readVersionInfo(uint32_t rva, uint32_t size) {
        // VS_VERSIONINFO: wLength, wValueLength, wType, "VS_VERSION_INFO\0" in UTF-16, padding to 32 bits,
        // then VS_FIXEDFILEINFO (52 bytes).
        constexpr uint32_t kFixedAt = 40;
        constexpr uint32_t kFixedSize = 52;
        if (size < kFixedAt + kFixedSize) return std::nullopt;
        const std::optional<qint64> off = fileOffset(rva, kFixedAt + kFixedSize);
        if (!off) return std::nullopt;
        char block[kFixedAt + kFixedSize];
        if (!src_.read(*off, sizeof block, block)) return std::nullopt;
        static const char16_t key[] = u"VS_VERSION_INFO";
        for (int i = 0; i < 16; ++i) {
            const auto c = char16_t(uint8_t(block[6 + 2 * i]) | (uint8_t(block[7 + 2 * i]) << 8));
            if (c != key[i]) return std::nullopt;
        }
        auto at = [&](int o) {
            uint32_t v;
            std::memcpy(&v, block + o, 4);
            return v;
        };
        uint16_t valueLength;
        std::memcpy(&valueLength, block + 2, 2);
        if (valueLength < kFixedSize) return std::nullopt;
        if (at(kFixedAt) != kFixedSignature) return std::nullopt;
        const uint32_t ms = at(kFixedAt + 16);
        const uint32_t ls = at(kFixedAt + 20);
        return QStringLiteral("%1.%2.%3.%4").arg(ms >> 16).arg(ms & 0xFFFF).arg(ls >> 16).arg(ls & 0xFFFF);
    }

    Source& src_;
    Section sections_[kMaxSections]{};
    int sectionCount_ = 0;
    qint64 rootOffset_ = 0;
    uint32_t rootRva_ = 0;
};

} // namespace

std::optional<QString> FileVersionText(const QString& path) {
    tBytesRead = 0;
    // Opened without waiting, so that a FIFO cannot block; anything but a plain file has no version.
    // The name as spelled is tried first: looking for another spelling costs more than the open.
    const auto openPath = [](const QString& p) {
        return ::open(QFile::encodeName(p).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    };
    const QString spelled = spelledPath(path);
    int fd = openPath(spelled);
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        const QString native = nativePath(path);
        if (native != spelled) fd = openPath(native);
    }
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<QString> version;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        FileSource src(fd, qint64(st.st_size));
        version = PeVersionReader(src).run();
    }
    ::close(fd);
    return version;
}

std::optional<QString> fileVersionFromBytes(const QByteArray& bytes) {
    tBytesRead = 0;
    BytesSource src(bytes);
    return PeVersionReader(src).run();
}

qint64 lastFileVersionBytesRead() {
    return tBytesRead;
}

} // namespace tarrow
