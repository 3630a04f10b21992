// Reading a 100 MB file through a file source against plain read() of the same
// file into one buffer. Both read 64 KB at a time from the page cache after the
// first pass; the difference is the cost of the source and its buffers.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "io/path_factory.h"
#include "object/manager.h"
#include "object/system.h"

namespace {

constexpr size_t kFileSize = 100 * 1024 * 1024;
constexpr size_t kChunk = 65536;

std::filesystem::path g_file;

void WriteTestFile() {
    g_file = std::filesystem::temp_directory_path() /
             ("orv-io-bench-" + std::to_string(getpid()) + ".bin");
    std::vector<char> chunk(kChunk);
    for (size_t i = 0; i < chunk.size(); ++i) {
        chunk[i] = static_cast<char>(i * 7);
    }
    std::ofstream out(g_file, std::ios::binary);
    for (size_t written = 0; written < kFileSize; written += chunk.size()) {
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
}

void BM_PlainRead(benchmark::State& state) {
    std::vector<char> buffer(kChunk);
    for (auto _ : state) {
        int fd = open(g_file.c_str(), O_RDONLY | O_CLOEXEC);
        size_t total = 0;
        ssize_t got;
        while ((got = read(fd, buffer.data(), buffer.size())) > 0) {
            benchmark::DoNotOptimize(buffer.data());
            total += static_cast<size_t>(got);
        }
        close(fd);
        if (total != kFileSize) {
            state.SkipWithError("short read");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

void BM_FileSource(benchmark::State& state) {
    auto factory = Object::Create<Io::Fs::PathFactory>(Io::Fs::kPathFactoryClsid);
    Ref<Io::Path> path =
        factory->create(Io::Fs::kPathFromName, Value(BaseString::FromUtf8(g_file.string())), false);
    for (auto _ : state) {
        Ref<Io::Source> source = path->openFile(Io::Access::kRead, Io::Share::kRead,
                                                Io::kIfExistsOpen, Io::kIfMissingFail)
                                     ->source();
        size_t total = 0;
        while (!source->atEnd()) {
            ByteBuffer bytes = source->read();
            benchmark::DoNotOptimize(bytes.data());
            total += bytes.size();
        }
        if (total != kFileSize) {
            state.SkipWithError("short read");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileSource)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    Object::ModuleStart();
    benchmark::Initialize(&argc, argv);
    WriteTestFile();
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove(g_file);
    benchmark::Shutdown();
    return 0;
}
