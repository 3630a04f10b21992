// The hive store (the registry on POSIX) with a hive of 200 values: reading a
// value through PersistentProperties (the parsed hive is kept while the file
// stays the same), parsing the hive file (what the first read after a change
// pays), and writing one value (lock, read afresh, write, flush, rename)
// beside the floor of any atomic file replacement: the same bytes written,
// flushed and renamed into place.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "properties/hive.h"
#include "properties/hive_store.h"
#include "properties/persistent_properties.h"

namespace {

constexpr int kValues = 200;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void BM_ReadValue(benchmark::State& state) {
    PersistentProperties properties(u"Bench", PropertyScope::kUser);
    for (auto _ : state) {
        benchmark::DoNotOptimize(properties.GetString(u"Value100"));
    }
}

void BM_ParseHive(benchmark::State& state) {
    std::string bytes = ReadFile(Registry::HiveFilePath(Registry::Hive::kUser));
    for (auto _ : state) {
        Registry::HiveKey root;
        benchmark::DoNotOptimize(Registry::ParseHive(bytes, Registry::Hive::kUser, &root));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_WriteValue(benchmark::State& state) {
    PersistentProperties properties(u"Bench", PropertyScope::kUser);
    uint32_t number = 0;
    for (auto _ : state) {
        properties.SetDword(u"Counter", ++number);
    }
}

void BM_ReplaceFileFloor(benchmark::State& state) {
    std::string path = Registry::HiveFilePath(Registry::Hive::kUser) + ".floor";
    std::string bytes = ReadFile(Registry::HiveFilePath(Registry::Hive::kUser));
    for (auto _ : state) {
        std::string temporary = path + ".tmp";
        int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            state.SkipWithError("short write");
        }
        fsync(fd);
        close(fd);
        std::rename(temporary.c_str(), path.c_str());
    }
}

BENCHMARK(BM_ReadValue);
BENCHMARK(BM_ParseHive);
BENCHMARK(BM_WriteValue)->UseRealTime();
BENCHMARK(BM_ReplaceFileFloor)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    char directory[] = "/tmp/orvella-registry-bench-XXXXXX";
    if (!mkdtemp(directory)) {
        return 1;
    }
    setenv("ORVELLA_REGISTRY_DIR", directory, 1);
    {
        PersistentProperties properties(u"Bench", PropertyScope::kUser);
        for (int i = 0; i < kValues; ++i) {
            BaseString name = BaseString::FromUtf8("Value" + std::to_string(i));
            properties.SetString(name, BaseString(u"C:\\Program Files\\Orvella\\") + name);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(directory);
    return 0;
}
