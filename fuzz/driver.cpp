// A small stand-in for libFuzzer: feeds each seed file, then random mutations of the seeds
// (bit flips, byte changes, cuts, repeats, insertions, small numbers where lengths live, numbers
// in text at the edges of their types), to the entry point. The options are libFuzzer's, so a
// script can run either:
//
//   fuzz_NAME [-runs=N] [-max_total_time=S] [-seed=N] [-artifact_prefix=P] [-timeout=S]
//             [-rss_limit_mb=M] SEED_FILE_OR_FOLDER...
//
// Without -runs and -max_total_time it makes 10000 runs. The input that fails (a sanitizer
// report, an abort, a crash, a run longer than -timeout or memory above -rss_limit_mb) is written
// to P + "crash-", "timeout-" or "oom-" + a hash of its bytes before the process ends, so that it
// can become a seed.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// Present only in a sanitizer build; called after the sanitizer's report, before the exit.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

// Like libFuzzer's malloc limit, which follows -rss_limit_mb: a single allocation above 2 GB is
// a finding, reported with the stack that asked for it. ASAN_OPTIONS still overrides it.
extern "C" const char *__asan_default_options()
{
    return "max_allocation_size_mb=2048";
}

// UBSan's own ending skips the death callback; aborting instead reaches the SIGABRT handler, and
// its stack says where the undefined behaviour was. UBSAN_OPTIONS still overrides both.
extern "C" const char *__ubsan_default_options()
{
    return "abort_on_error=1:print_stacktrace=1";
}

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// What the failure handlers need: plain data, read from a signal handler or the watchdog.
std::atomic<const std::uint8_t *> g_input{nullptr};
std::atomic<std::size_t> g_inputSize{0};
std::atomic<long> g_run{0};
std::atomic<std::int64_t> g_runStartedMs{0}; // 0 between runs
std::atomic<bool> g_saved{false};
char g_prefix[1024] = "";

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

// Async-signal-safe output.
void say(const char *text)
{
    const ssize_t ignored = ::write(2, text, std::strlen(text));
    (void)ignored;
}

void append(char *out, std::size_t capacity, const char *text)
{
    const std::size_t used = std::strlen(out);
    std::size_t i = 0;
    for (; text[i] && used + i + 1 < capacity; ++i)
        out[used + i] = text[i];
    out[used + i] = '\0';
}

void appendNumber(char *out, std::size_t capacity, unsigned long value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    char text[24];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    text[n] = '\0';
    append(out, capacity, text);
}

// Writes the current input to <prefix><kind>-<FNV-1a of its bytes>; safe in a signal handler.
void saveInput(const char *kind)
{
    if (g_saved.exchange(true))
        return;
    const std::uint8_t *data = g_input.load();
    const std::size_t size = g_inputSize.load();
    if (data == nullptr) {
        say("==fuzz== failure outside a run; no input to save\n");
        return;
    }
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ data[i]) * 0x100000001b3ull;
    char path[1200] = "";
    append(path, sizeof path, g_prefix);
    append(path, sizeof path, kind);
    append(path, sizeof path, "-");
    char hex[17];
    for (int i = 0; i < 16; ++i)
        hex[i] = "0123456789abcdef"[(hash >> (60 - 4 * i)) & 0xF];
    hex[16] = '\0';
    append(path, sizeof path, hex);

    char line[1400] = "==fuzz== ";
    append(line, sizeof line, kind);
    append(line, sizeof line, " on run ");
    appendNumber(line, sizeof line, static_cast<unsigned long>(g_run.load()));
    append(line, sizeof line, " (");
    appendNumber(line, sizeof line, static_cast<unsigned long>(size));
    append(line, sizeof line, " bytes); ");
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        written = n > 0;
        done += written ? std::size_t(n) : 0;
    }
    if (fd >= 0)
        ::close(fd);
    append(line, sizeof line, written ? "Test unit written to " : "could not write ");
    append(line, sizeof line, path);
    append(line, sizeof line, "\n");
    say(line);
}

void onSanitizerDeath()
{
    saveInput("crash");
}

void onFatalSignal(int signal)
{
    saveInput("crash");
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void installHandlers()
{
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(onSanitizerDeath);
    // A sanitizer that already handles a signal reports it better than we can; its death
    // callback saves the input then.
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
        struct sigaction current = {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
            !(current.sa_flags & SA_SIGINFO))
            std::signal(signal, onFatalSignal);
    }
}

std::size_t residentMb()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0, resident = 0;
    if (!(statm >> pages >> resident))
        return 0;
    return resident * std::size_t(::sysconf(_SC_PAGESIZE)) >> 20;
}

// Ends the process when one run takes longer than timeoutSeconds or memory grows past limitMb.
void watch(int timeoutSeconds, std::size_t limitMb)
{
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        const std::int64_t started = g_runStartedMs.load();
        if (timeoutSeconds > 0 && started != 0 && nowMs() - started > timeoutSeconds * 1000ll) {
            say("==fuzz== a run took longer than -timeout\n");
            saveInput("timeout");
            ::_exit(70);
        }
        if (limitMb > 0 && residentMb() > limitMb) {
            say("==fuzz== memory above -rss_limit_mb\n");
            saveInput("oom");
            ::_exit(71);
        }
    }
}

// Each input lives in a buffer of exactly its size, so that AddressSanitizer sees a read past
// its end.
void runOne(const Bytes &input)
{
    const std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[input.size()]);
    std::copy(input.begin(), input.end(), copy.get());
    g_inputSize.store(input.size());
    g_input.store(copy.get());
    g_runStartedMs.store(nowMs());
    LLVMFuzzerTestOneInput(copy.get(), input.size());
    g_runStartedMs.store(0);
    g_input.store(nullptr);
    g_run.fetch_add(1);
}

std::optional<Bytes> readSeed(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A seed file, or every file of a seed folder in name order.
bool addSeeds(const char *argument, std::vector<Bytes> &seeds)
{
    std::error_code error;
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(argument, error)) {
        for (const auto &entry : std::filesystem::directory_iterator(argument, error))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    } else {
        files.emplace_back(argument);
    }
    for (const auto &file : files) {
        auto bytes = readSeed(file);
        if (!bytes) {
            std::fprintf(stderr, "cannot read the seed %s\n", file.c_str());
            return false;
        }
        seeds.push_back(std::move(*bytes));
    }
    return !error;
}

void mutate(Bytes &bytes, std::mt19937 &random)
{
    const auto pick = [&](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const int steps = 1 + int(pick(8));
    for (int step = 0; step < steps; ++step) {
        switch (pick(9)) {
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
        case 5:
            // A little-endian word nudged by a few, or set to a small number: lengths one off,
            // counts of zero, types next to the expected one.
            if (bytes.size() >= 4) {
                const std::size_t at = pick(bytes.size() / 4) * 4;
                std::uint32_t word = 0;
                for (int i = 0; i < 4; ++i)
                    word |= std::uint32_t(bytes[at + i]) << (8 * i);
                word = pick(2) ? word + std::uint32_t(pick(9)) - 4 : std::uint32_t(pick(64));
                for (int i = 0; i < 4; ++i)
                    bytes[at + i] = std::uint8_t(word >> (8 * i));
            }
            break;
        case 6:
            // A digit changed or added, for the text formats' numbers.
            if (!bytes.empty()) {
                const std::size_t at = pick(bytes.size());
                if (pick(2))
                    bytes[at] = std::uint8_t('0' + pick(10));
                else
                    bytes.insert(bytes.begin() + std::ptrdiff_t(at), std::uint8_t('0' + pick(10)));
            }
            break;
        case 7:
            // A number written in digits replaced by one at the edge of a type's range.
            if (!bytes.empty()) {
                static const char *const kEdges[] = {
                    "0",          "-1",         "255",        "256",        "32767",
                    "-32768",     "65535",      "65536",      "2147483647", "-2147483648",
                    "2147483648", "4294967295", "4294967296", "99999999999"};
                std::size_t at = pick(bytes.size());
                const std::size_t limit = std::min(bytes.size(), at + 64);
                while (at < limit && !(bytes[at] >= '0' && bytes[at] <= '9'))
                    ++at;
                if (at == limit)
                    break;
                std::size_t end = at;
                while (end < bytes.size() && bytes[end] >= '0' && bytes[end] <= '9')
                    ++end;
                if (at > 0 && bytes[at - 1] == '-')
                    --at;
                const char *edge = kEdges[pick(std::size(kEdges))];
                bytes.erase(bytes.begin() + std::ptrdiff_t(at),
                            bytes.begin() + std::ptrdiff_t(end));
                bytes.insert(bytes.begin() + std::ptrdiff_t(at), edge, edge + std::strlen(edge));
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

const char *option(const char *argument, const char *name)
{
    const std::size_t length = std::strlen(name);
    return std::strncmp(argument, name, length) == 0 ? argument + length : nullptr;
}

} // namespace

int main(int argc, char **argv)
{
    long runs = -1;
    long maxSeconds = 0;
    unsigned seed = 1;
    int timeoutSeconds = 1200;
    std::size_t rssLimitMb = 2048;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (const char *value = option(arg, "-runs="))
            runs = std::atol(value);
        else if (const char *value = option(arg, "-max_total_time="))
            maxSeconds = std::atol(value);
        else if (const char *value = option(arg, "-seed="))
            seed = unsigned(std::atol(value));
        else if (const char *value = option(arg, "-timeout="))
            timeoutSeconds = std::atoi(value);
        else if (const char *value = option(arg, "-rss_limit_mb="))
            rssLimitMb = std::size_t(std::atol(value));
        else if (const char *value = option(arg, "-artifact_prefix="))
            std::snprintf(g_prefix, sizeof g_prefix, "%s", value);
        else if (arg[0] == '-')
            std::fprintf(stderr, "WARNING: unknown option %s ignored\n", arg);
        else if (!addSeeds(arg, seeds))
            return 2;
    }
    if (runs < 0 && maxSeconds <= 0)
        runs = 10000;
    if (seeds.empty())
        seeds.emplace_back();

    installHandlers();
    if (timeoutSeconds > 0 || rssLimitMb > 0)
        std::thread(watch, timeoutSeconds, rssLimitMb).detach();

    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(maxSeconds);
    for (const Bytes &s : seeds)
        runOne(s);
    std::mt19937 random(seed);
    long mutated = 0;
    for (; runs < 0 || mutated < runs; ++mutated) {
        // The clock is cheap next to a run, but not free: look every 64 runs.
        if (maxSeconds > 0 && mutated % 64 == 0 && Clock::now() >= deadline)
            break;
        Bytes input = seeds[std::size_t(mutated) % seeds.size()];
        mutate(input, random);
        runOne(input);
    }
    const long seconds =
        long(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count());
    std::printf("Done %ld runs in %ld second(s): %zu seeds and %ld mutations, no failure\n",
                g_run.load(), seconds, seeds.size(), mutated);
    return 0;
}
