// Speed of the converter: the codec in process (MB/s of raw 24-bit pixels) and whole runs of the
// program the way the MBM image list starts it.
#include "bmconv/Bmp.h"
#include "bmconv/Colour.h"
#include "bmconv/FileIo.h"
#include "bmconv/Mbm.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#if __has_include(<spawn.h>)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#define BMCONV_BENCH_PROCESSES 1
#endif

using namespace bmconv;

namespace {

// A screen-sized picture shaped like a skin background: a vertical gradient (every row one colour)
// over a band of 8 × 8 blocks and a band of fine noise, so RLE has runs and literals to find.
RgbImage backgroundPicture(int width, int height)
{
    RgbImage image{width, height, Bytes(static_cast<std::size_t>(width) * height * 3)};
    std::mt19937 random(1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t *p = image.bgr.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            if (y < height / 2) {
                p[0] = static_cast<std::uint8_t>(y), p[1] = static_cast<std::uint8_t>(255 - y),
                p[2] = 40;
            } else if (y < height * 7 / 8) {
                const bool light = ((x / 8) + (y / 8)) % 2 == 0;
                p[0] = p[1] = p[2] = light ? 220 : 30;
            } else {
                p[0] = static_cast<std::uint8_t>(random()),
                p[1] = static_cast<std::uint8_t>(random()),
                p[2] = static_cast<std::uint8_t>(random());
            }
        }
    }
    return image;
}

// A 16 × 16 status icon: a filled disc of one colour on white, as icon lists hold them.
RgbImage iconPicture(int seed)
{
    RgbImage image{16, 16, Bytes(16 * 16 * 3, 0xFF)};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x - 8) * (x - 8) + (y - 8) * (y - 8) < 36) {
                std::uint8_t *p = image.bgr.data() + (y * 16 + x) * 3;
                p[0] = static_cast<std::uint8_t>(seed * 37),
                p[1] = static_cast<std::uint8_t>(seed * 11),
                p[2] = static_cast<std::uint8_t>(200 - y);
            }
    return image;
}

EncodedBitmap encode(const RgbImage &image, BitmapMode mode, bool compressed)
{
    BitmapHeader header;
    header.width = image.width;
    header.height = image.height;
    header.bitsPerPixel = mode.bitsPerPixel;
    header.colour = mode.colour;
    return encodeBitmap(header, encodePixels(image, mode, nullptr, defaultColour256Table()),
                        compressed);
}

Bytes encodeStore(const std::vector<RgbImage> &images, BitmapMode mode, bool compressed)
{
    std::vector<EncodedBitmap> bitmaps;
    bitmaps.reserve(images.size());
    for (const RgbImage &image : images)
        bitmaps.push_back(encode(image, mode, compressed));
    return writeFileStore(bitmaps);
}

// Everything /u does short of writing files: every bitmap expanded and turned into a 24-bit BMP.
std::size_t decodeStore(const Bytes &file)
{
    std::size_t written = 0;
    const MbmDirectory directory = *readMbmDirectory(file);
    for (std::size_t i = 0; i < directory.offsets.size(); ++i) {
        const BitmapRecord record = *readBitmapRecord(file, directory, i);
        const Bytes raw = *decodeBitmapData(record);
        const BitmapHeader &h = record.header;
        written += writeBmp24(decodePixels(raw, h.width, h.height, h.mode())).size();
    }
    return written;
}

std::vector<RgbImage> iconList()
{
    std::vector<RgbImage> icons;
    for (int i = 0; i < 100; ++i)
        icons.push_back(iconPicture(i));
    return icons;
}

std::int64_t rawBytes(const std::vector<RgbImage> &images)
{
    std::int64_t total = 0;
    for (const RgbImage &image : images)
        total += static_cast<std::int64_t>(image.bgr.size());
    return total;
}

void encodeCase(benchmark::State &state, const std::vector<RgbImage> &images, BitmapMode mode,
                bool compressed)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeStore(images, mode, compressed));
    state.SetBytesProcessed(state.iterations() * rawBytes(images));
    // Shows whether the RLE cases really store compressed data.
    state.counters["stored_percent"] =
        100.0 * static_cast<double>(encodeStore(images, mode, compressed).size()) /
        static_cast<double>(rawBytes(images));
}

void decodeCase(benchmark::State &state, const std::vector<RgbImage> &images, BitmapMode mode,
                bool compressed)
{
    const Bytes file = encodeStore(images, mode, compressed);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeStore(file));
    state.SetBytesProcessed(state.iterations() * rawBytes(images));
}

const std::vector<RgbImage> &screen()
{
    static const std::vector<RgbImage> images = {backgroundPicture(240, 320)};
    return images;
}

const std::vector<RgbImage> &icons()
{
    static const std::vector<RgbImage> images = iconList();
    return images;
}

constexpr BitmapMode kColour24{24, Colour};
constexpr BitmapMode kColour16{16, Colour};

void BM_Encode240x320_24bit_Raw(benchmark::State &s)
{
    encodeCase(s, screen(), kColour24, false);
}
void BM_Encode240x320_24bit_Rle(benchmark::State &s)
{
    encodeCase(s, screen(), kColour24, true);
}
void BM_Decode240x320_24bit_Raw(benchmark::State &s)
{
    decodeCase(s, screen(), kColour24, false);
}
void BM_Decode240x320_24bit_Rle(benchmark::State &s)
{
    decodeCase(s, screen(), kColour24, true);
}
void BM_Encode100Icons_16bit_Raw(benchmark::State &s)
{
    encodeCase(s, icons(), kColour16, false);
}
void BM_Encode100Icons_16bit_Rle(benchmark::State &s)
{
    encodeCase(s, icons(), kColour16, true);
}
void BM_Decode100Icons_16bit_Raw(benchmark::State &s)
{
    decodeCase(s, icons(), kColour16, false);
}
void BM_Decode100Icons_16bit_Rle(benchmark::State &s)
{
    decodeCase(s, icons(), kColour16, true);
}

BENCHMARK(BM_Encode240x320_24bit_Raw);
BENCHMARK(BM_Encode240x320_24bit_Rle);
BENCHMARK(BM_Decode240x320_24bit_Raw);
BENCHMARK(BM_Decode240x320_24bit_Rle);
BENCHMARK(BM_Encode100Icons_16bit_Raw);
BENCHMARK(BM_Encode100Icons_16bit_Rle);
BENCHMARK(BM_Decode100Icons_16bit_Raw);
BENCHMARK(BM_Decode100Icons_16bit_Rle);

#ifdef BMCONV_BENCH_PROCESSES

// A folder laid out like the program's temp folder: temp.mbm with 100 compressed icons. Removed
// when the benchmark program ends.
struct WorkFolder
{
    std::filesystem::path path;

    WorkFolder()
        : path(std::filesystem::temp_directory_path() /
               ("bmconv-bench-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(path / "temp");
        const Bytes store = encodeStore(icons(), kColour16, true);
        (void)writeFileReplacing((path / "temp" / "temp.mbm").string(), store);
    }
    ~WorkFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path &workFolder()
{
    static const WorkFolder folder;
    return folder.path;
}

void runProcess(benchmark::State &state, const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    std::string program = BMCONV_EXECUTABLE;
    argv.push_back(program.data());
    std::vector<std::string> args = arguments;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(workFolder());
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start bmconv");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("bmconv failed");
            break;
        }
    }
    std::filesystem::current_path(previous);
    posix_spawn_file_actions_destroy(&actions);
}

void BM_Process_Info100Icons(benchmark::State &state)
{
    runProcess(state, {"/v", "temp/temp.mbm"});
}

void BM_Process_Unpack100Icons(benchmark::State &state)
{
    std::vector<std::string> args = {"/u", "temp/temp.mbm"};
    for (int k = 1; k <= 100; ++k)
        args.push_back("temp/" + std::to_string(k) + ".bmp");
    runProcess(state, args);
}

BENCHMARK(BM_Process_Info100Icons)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Process_Unpack100Icons)->Unit(benchmark::kMillisecond)->UseRealTime();

#endif

} // namespace

BENCHMARK_MAIN();
