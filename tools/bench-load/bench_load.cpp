// Loading benchmark: time and peak memory of loading synthetic catalogues into a list.
// Each size runs in a child process of its own so that its peak memory is its own.

#include "elements/SatelliteList.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace elsetry;

namespace {

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::string WriteCatalogue(int Count)
{
    TCatalogueOptions options;
    options.Count = Count;
    const std::string path = "/tmp/elsetry-bench-" + std::to_string(::getpid()) + ".txt";
    std::ofstream file(path, std::ios::binary);
    for (const std::string& line : GenerateCatalogue(options))
        file << line << "\r\n";
    return path;
}

// Best of several loads, in milliseconds.
double LoadMilliseconds(const std::string& Path, int Count, int Repeats)
{
    double best = 1e300;
    for (int r = 0; r < Repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        TSatelliteList list;
        list.LoadFromFile(Path);
        const auto end = std::chrono::steady_clock::now();
        if (list.Count() != Count)
            std::fprintf(stderr, "expected %d entries, loaded %d\n", Count, list.Count());
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

void MeasureOne(int Count, int Repeats)
{
    const std::string path = WriteCatalogue(Count);
    const long before = PeakKilobytes();
    const double ms = LoadMilliseconds(path, Count, Repeats);
    const long peak = PeakKilobytes();
    std::remove(path.c_str());
    std::printf("%7d sets  %8.2f ms  %6.3f us/set  peak RSS %7.1f MiB (load adds %6.1f MiB)\n", Count, ms,
                1000.0 * ms / Count, peak / 1024.0, (peak - before) / 1024.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes{10000, 30000, 60000, 90000};
    if (argc > 1)
        sizes.assign(1, std::atoi(argv[1]));
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
    std::printf("Loading a synthetic catalogue into a list (best of %d):\n", repeats);
    std::fflush(stdout);
    for (const int count : sizes) {
        const pid_t child = ::fork();
        if (child == 0) {
            MeasureOne(count, repeats);
            std::_Exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    return 0;
}
