// A small stand-in for libFuzzer: feeds each seed file, then random mutations of the seeds
// (bit flips, byte changes, cuts, repeats, insertions), to the entry point.
// Usage: fuzz_NAME [-runs=N] [-seed=N] SEED_FILE...

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readSeed(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void mutate(Bytes &bytes, std::mt19937 &random)
{
    const auto pick = [&](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const int steps = 1 + int(pick(8));
    for (int step = 0; step < steps; ++step) {
        switch (pick(6)) {
        case 0:
            if (!bytes.empty())
                bytes[pick(bytes.size())] ^= std::uint8_t(1u << pick(8));
            break;
        case 1:
            if (!bytes.empty())
                bytes[pick(bytes.size())] = std::uint8_t(pick(256));
            break;
        case 2:
            bytes.resize(pick(bytes.size() + 1));
            break;
        case 3: {
            const std::size_t at = pick(bytes.size() + 1);
            bytes.insert(bytes.begin() + std::ptrdiff_t(at), pick(16) + 1, std::uint8_t(pick(256)));
            break;
        }
        case 4:
            // Extreme values where counts and lengths live.
            if (bytes.size() >= 4) {
                const std::size_t at = pick(bytes.size() - 3);
                const std::uint8_t fill = pick(2) ? 0xFF : 0x7F;
                std::memset(bytes.data() + at, fill, 4);
            }
            break;
        default:
            if (bytes.size() > 1) {
                const std::size_t from = pick(bytes.size());
                const std::size_t length = std::min<std::size_t>(pick(64) + 1, bytes.size() - from);
                bytes.insert(bytes.begin() + std::ptrdiff_t(pick(bytes.size())),
                             bytes.begin() + std::ptrdiff_t(from),
                             bytes.begin() + std::ptrdiff_t(from + length));
            }
            break;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    long runs = 10000;
    unsigned seed = 1;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-runs=", 6) == 0)
            runs = std::atol(argv[i] + 6);
        else if (std::strncmp(argv[i], "-seed=", 6) == 0)
            seed = unsigned(std::atol(argv[i] + 6));
        else
            seeds.push_back(readSeed(argv[i]));
    }
    if (seeds.empty())
        seeds.emplace_back();
    for (const Bytes &s : seeds)
        LLVMFuzzerTestOneInput(s.data(), s.size());
    std::mt19937 random(seed);
    for (long run = 0; run < runs; ++run) {
        Bytes input = seeds[std::size_t(run) % seeds.size()];
        mutate(input, random);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld runs over %zu seeds, no failure\n", runs, seeds.size());
    return 0;
}
