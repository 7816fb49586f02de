#include "TestSupport.h"

#include <fstream>
#include <iterator>
#include <random>

namespace bmconv::test {

Bytes makeBmp(const BmpSpec &spec)
{
    const bool core = spec.headerSize == 12;
    const bool bitfieldsAfterHeader = spec.compression == 3 && spec.headerSize == 40;
    const std::uint32_t entrySize = core ? 3 : 4;
    const std::uint32_t tables = (bitfieldsAfterHeader ? 12 : 0) +
                                 static_cast<std::uint32_t>(spec.palette.size()) * entrySize;
    const std::uint32_t offBits = 14 + spec.headerSize + tables + spec.gapBeforePixels;
    const std::uint32_t rowBytes =
        (static_cast<std::uint32_t>(spec.width) * spec.bitsPerPixel + 31) / 32 * 4;

    Bytes out{'B', 'M'};
    appendU32(out, offBits + rowBytes * spec.height);
    appendU32(out, 0);
    appendU32(out, offBits);
    appendU32(out, spec.headerSize);
    if (core) {
        appendU16(out, static_cast<std::uint16_t>(spec.width));
        appendU16(out, static_cast<std::uint16_t>(spec.height));
        appendU16(out, 1);
        appendU16(out, static_cast<std::uint16_t>(spec.bitsPerPixel));
    } else {
        appendI32(out, spec.width);
        appendI32(out, spec.topDown ? -spec.height : spec.height);
        appendU16(out, 1);
        appendU16(out, static_cast<std::uint16_t>(spec.bitsPerPixel));
        appendU32(out, spec.compression);
        appendU32(out, rowBytes * spec.height);
        appendI32(out, spec.xPelsPerMetre);
        appendI32(out, spec.yPelsPerMetre);
        appendU32(out, static_cast<std::uint32_t>(spec.palette.size()));
        appendU32(out, 0);
        std::vector<std::uint32_t> masks = spec.masks;
        masks.resize(4, 0);
        for (std::uint32_t at = 40; at < spec.headerSize; at += 4)
            appendU32(out, at < 56 && !bitfieldsAfterHeader ? masks[(at - 40) / 4] : 0);
        if (bitfieldsAfterHeader)
            for (int i = 0; i < 3; ++i)
                appendU32(out, masks[i]);
    }
    for (std::uint32_t rgb : spec.palette) {
        out.push_back(static_cast<std::uint8_t>(rgb));
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));
        if (!core)
            out.push_back(0);
    }
    out.resize(out.size() + spec.gapBeforePixels, 0xEE);

    for (int row = 0; row < spec.height; ++row) {
        const int y = spec.topDown ? row : spec.height - 1 - row;
        Bytes line(rowBytes, 0);
        for (int x = 0; x < spec.width; ++x) {
            const std::uint32_t v = spec.pixel(x, y);
            const int bpp = spec.bitsPerPixel;
            if (bpp < 8) {
                const int perByte = 8 / bpp;
                line[x / perByte] |= static_cast<std::uint8_t>(v << (8 - bpp * (x % perByte + 1)));
            } else {
                for (int b = 0; b < bpp / 8; ++b)
                    line[x * bpp / 8 + b] = static_cast<std::uint8_t>(v >> (8 * b));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

Bytes makeBmp24(int width, int height, const std::vector<std::uint32_t> &rgb,
                std::int32_t pelsPerMetre)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.xPelsPerMetre = spec.yPelsPerMetre = pelsPerMetre;
    spec.pixel = [&rgb, width](int x, int y) {
        return rgb[static_cast<std::size_t>(y) * width + x];
    };
    return makeBmp(spec);
}

Bytes fromHex(const std::string &hex)
{
    Bytes out;
    std::string digits;
    for (char c : hex)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return out;
}

std::string toHex(ByteView bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

Bytes readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path &path, ByteView bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> crlfLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "output does not end in CR LF: " << text.substr(start);
        if (end == std::string::npos)
            break;
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "bare LF in: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

std::filesystem::path fixture(const std::string &name)
{
    return std::filesystem::path(VELMORA_TEST_DATA) / "bmconv" / name;
}

void InTempFolder::SetUp()
{
    m_previous = std::filesystem::current_path();
    std::random_device random;
    m_folder = std::filesystem::temp_directory_path() /
               ("bmconv-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(m_folder / "temp");
    std::filesystem::current_path(m_folder);
}

void InTempFolder::TearDown()
{
    std::filesystem::current_path(m_previous);
    std::error_code ec;
    std::filesystem::remove_all(m_folder, ec);
}

} // namespace bmconv::test
