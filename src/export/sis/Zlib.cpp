#include "export/sis/Zlib.h"

#include "platform/Try.h"

#include <zlib.h>

#include <limits>

namespace velmora::sis {

namespace {

// zlib counts in uInt; feed it at most this much at a time.
constexpr std::size_t kMaxChunk = std::size_t{1} << 30;

class Inflater
{
public:
    Inflater() { m_ok = inflateInit(&m_stream) == Z_OK; }
    ~Inflater() { inflateEnd(&m_stream); }
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;
    bool ok() const { return m_ok; }
    z_stream &stream() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

class Deflater
{
public:
    Deflater() { m_ok = deflateInit(&m_stream, Z_DEFAULT_COMPRESSION) == Z_OK; }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater &) = delete;
    Deflater &operator=(const Deflater &) = delete;
    bool ok() const { return m_ok; }
    z_stream &stream() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

} // namespace

std::expected<Bytes, std::string> deflateZlib(std::span<const std::uint8_t> input)
{
    if (input.size() > kMaxChunk)
        return std::unexpected(std::string("data too large to compress"));
    Deflater deflater;
    if (!deflater.ok())
        return std::unexpected(std::string("zlib could not start compressing"));
    z_stream &zs = deflater.stream();
    Bytes out(deflateBound(&zs, static_cast<uLong>(input.size())));
    zs.next_in = const_cast<Bytef *>(input.data());
    zs.avail_in = static_cast<uInt>(input.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zs, Z_FINISH) != Z_STREAM_END)
        return std::unexpected(std::string("zlib could not compress the data"));
    out.resize(zs.total_out);
    return out;
}

std::expected<void, std::string>
inflateZlib(std::span<const std::uint8_t> input, std::uint64_t expectedSize,
            const std::function<bool(std::span<const std::uint8_t>)> &sink)
{
    if (input.size() > kMaxChunk)
        return std::unexpected(std::string("is too large to decompress"));
    Inflater inflater;
    if (!inflater.ok())
        return std::unexpected(std::string("cannot be decompressed: zlib did not start"));
    z_stream &zs = inflater.stream();
    zs.next_in = const_cast<Bytef *>(input.data());
    zs.avail_in = static_cast<uInt>(input.size());
    std::uint8_t buffer[16384];
    std::uint64_t produced = 0;
    for (;;) {
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const std::size_t got = sizeof buffer - zs.avail_out;
        if (rc != Z_OK && rc != Z_STREAM_END) {
            if (rc == Z_BUF_ERROR)
                return std::unexpected(std::string("ends before its zlib stream does"));
            return std::unexpected(std::string("holds corrupt zlib data") +
                                   (zs.msg ? std::string(" (") + zs.msg + ")" : std::string()));
        }
        if (got > expectedSize - produced)
            return std::unexpected("decompresses to more than the declared " +
                                   std::to_string(expectedSize) + " bytes");
        produced += got;
        if (got != 0 && !sink(std::span<const std::uint8_t>(buffer, got)))
            return std::unexpected(std::string(kSinkStopped));
        if (rc == Z_STREAM_END)
            break;
        if (got == 0 && zs.avail_in == 0)
            return std::unexpected(std::string("ends before its zlib stream does"));
    }
    if (produced != expectedSize)
        return std::unexpected("decompresses to " + std::to_string(produced) +
                               " bytes, not the declared " + std::to_string(expectedSize));
    if (zs.avail_in != 0)
        return std::unexpected("is followed by " + std::to_string(zs.avail_in) +
                               " bytes after the end of its zlib stream");
    return {};
}

std::expected<Bytes, std::string> inflateZlib(std::span<const std::uint8_t> input,
                                              std::uint64_t expectedSize)
{
    Bytes out;
    VELMORA_TRY(inflateZlib(input, expectedSize, [&out](std::span<const std::uint8_t> piece) {
        out.insert(out.end(), piece.begin(), piece.end());
        return true;
    }));
    return out;
}

} // namespace velmora::sis
