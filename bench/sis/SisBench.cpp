// Building and signing a skin package with two 60 KB pictures, the way the save dialog does it:
// each tool run is a whole process (start-up, OpenSSL and zlib loading, work, exit). The target
// is at most 30 ms per run, median. The in-process steps are measured too, to see where the time
// goes.

#include "export/sis/Crypto.h"
#include "export/sis/FileIo.h"
#include "export/sis/PackageBuilder.h"
#include "export/sis/PkgFile.h"
#include "export/sis/Signer.h"
#include "export/sis/SisReader.h"
#include "export/sis/Text.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora::sis;

extern char **environ;

namespace {

Bytes noise(std::size_t size, std::uint32_t seed)
{
    Bytes out(size);
    for (auto &byte : out) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return out;
}

// A cert/ folder with the description, the install text, the certificate and key, and a temp/
// folder with the skin files (two 60 KB pictures: .mif and .mbm), made once per process.
struct Workspace
{
    std::filesystem::path root;
    std::filesystem::path cert;
    Bytes unsignedPackage;

    Workspace()
    {
        char pattern[] = "/tmp/velmora-sis-bench-XXXXXX";
        root = ::mkdtemp(pattern);
        cert = root / "cert";
        const auto temp = root / "temp";
        std::filesystem::create_directories(cert);
        std::filesystem::create_directories(temp);
        (void)writeFileAtomically(temp / "myskin.mif", noise(60 * 1024, 1));
        (void)writeFileAtomically(temp / "myskin.mbm", noise(60 * 1024, 2));
        std::string skin;
        for (int i = 0; i < 20; ++i)
            skin += "{ Colour " + std::to_string(i) + " } = " + std::to_string(i * 4099) + "\r\n";
        (void)writeFileAtomically(temp / "myskin.skin", Bytes(skin.begin(), skin.end()));
        (void)writeFileAtomically(cert / "Text(0-0).txt",
                                  utf16(u"Вы устанавливаете скин \"MYSKIN\" для программы "
                                        u"TolvoICQ\r\n---\r\nCreated by program \"Velmora for "
                                        u"tolvoICQ\""));
        const std::u16string out = toUtf16(temp.string() + "/");
        const std::u16string pkg =
            u"&EN\r\n#{\"Tolvo MYSKIN\"}, (0xEB7A0591), 0, 6, 5, TYPE=SP\r\n"
            u"[0x101F7961], 0, 0, 0, {\"Series60ProductID\"}\r\n%{\"quenard\"}\r\n"
            u":\"quenard\"\r\n\"Text(0-0).txt\"-\"\", FT, TC\r\n\"" +
            out + u"myskin.mif\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mif\"\r\n\"" + out +
            u"myskin.skin\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin\"\r\n\"" + out +
            u"myskin.mbm\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.mbm\"";
        (void)writeFileAtomically(cert / "SkinForTolvoICQ.pkg", utf16(pkg));
        std::filesystem::copy_file(std::string(VELMORA_CERT_DIR) + "/Velmora.cer",
                                   cert / "Velmora.cer");
        std::filesystem::copy_file(std::string(VELMORA_CERT_DIR) + "/Velmora.key",
                                   cert / "Velmora.key");

        auto description = parsePkg(*readFile(cert / "SkinForTolvoICQ.pkg", 1 << 20), "bench");
        BuildSettings settings;
        settings.searchDirectory = cert;
        settings.creationTime = packageTimeNow();
        unsignedPackage = buildPackage(*description, "bench", settings)->bytes;
    }
    ~Workspace() { std::filesystem::remove_all(root); }

    static Bytes utf16(const std::u16string &text)
    {
        Bytes out = {0xFF, 0xFE};
        for (char16_t unit : text) {
            out.push_back(static_cast<std::uint8_t>(unit));
            out.push_back(static_cast<std::uint8_t>(unit >> 8));
        }
        return out;
    }
};

Workspace &workspace()
{
    static Workspace instance;
    return instance;
}

// Runs a tool in the cert/ folder and waits for it; false when it did not exit with 0.
bool runTool(const char *program, std::vector<std::string> args)
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(workspace().cert);
    std::vector<char *> argv{const_cast<char *>(program)};
    for (auto &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    std::filesystem::current_path(previous);
    int status = 0;
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

void BM_MakesisProcess(benchmark::State &state)
{
    workspace();
    for (auto _ : state)
        if (!runTool(VELMORA_MAKESIS, {"SkinForTolvoICQ.pkg"}))
            state.SkipWithError("makesis failed");
}

void BM_SignsisProcess(benchmark::State &state)
{
    if (!runTool(VELMORA_MAKESIS, {"SkinForTolvoICQ.pkg"})) {
        state.SkipWithError("makesis failed");
        return;
    }
    for (auto _ : state)
        if (!runTool(VELMORA_SIGNSIS, {"-s", "SkinForTolvoICQ.sis", "SkinForTolvoICQ.sisx",
                                       "Velmora.cer", "Velmora.key", "kite408"}))
            state.SkipWithError("signsis failed");
}

void BM_BuildInProcess(benchmark::State &state)
{
    const Workspace &space = workspace();
    const Bytes pkg = *readFile(space.cert / "SkinForTolvoICQ.pkg", 1 << 20);
    BuildSettings settings;
    settings.searchDirectory = space.cert;
    settings.creationTime = packageTimeNow();
    for (auto _ : state) {
        auto description = parsePkg(pkg, "bench");
        auto built = buildPackage(*description, "bench", settings);
        benchmark::DoNotOptimize(built->bytes.data());
    }
}

void BM_SignInProcess(benchmark::State &state)
{
    const Workspace &space = workspace();
    const auto key = loadPrivateKey(*readFile(space.cert / "Velmora.key", 1 << 20), "kite408");
    const auto certificate = loadCertificateFile(*readFile(space.cert / "Velmora.cer", 1 << 20));
    for (auto _ : state) {
        auto signedPackage = signPackage(space.unsignedPackage, *certificate, *key);
        benchmark::DoNotOptimize(signedPackage->data());
    }
}

void BM_ReadAndVerifyInProcess(benchmark::State &state)
{
    const Workspace &space = workspace();
    const auto key = loadPrivateKey(*readFile(space.cert / "Velmora.key", 1 << 20), "kite408");
    const auto certificate = loadCertificateFile(*readFile(space.cert / "Velmora.cer", 1 << 20));
    const Bytes file = *signPackage(space.unsignedPackage, *certificate, *key);
    for (auto _ : state) {
        auto package = readPackage(file);
        const PackageReport report = inspectPackage(*package, file);
        benchmark::DoNotOptimize(report.valid());
    }
}

} // namespace

BENCHMARK(BM_MakesisProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SignsisProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildInProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_SignInProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadAndVerifyInProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
