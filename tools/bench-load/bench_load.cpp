// Loading benchmark: time and peak memory of loading synthetic catalogues into a list, and the
// time of loading one catalogue as element lines, as CSV and as JSON.
// Each measurement runs in a child process of its own so that its peak memory is its own.

#include "elements/SatelliteList.h"
#include "tools/catalogue/CatalogueGenerator.h"
#include "tools/catalogue/CatalogueOmm.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace elsetry;

namespace {

long PeakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<std::string> Catalogue(int Count)
{
    TCatalogueOptions options;
    options.Count = Count;
    return GenerateCatalogue(options);
}

std::string ElementFileText(const std::vector<std::string>& Lines)
{
    std::string text;
    for (const std::string& line : Lines)
        text += line + "\r\n";
    return text;
}

std::string WriteFile(const std::string& Extension, const std::string& Text)
{
    const std::string path = "/tmp/elsetry-bench-" + std::to_string(::getpid()) + Extension;
    std::ofstream(path, std::ios::binary) << Text;
    return path;
}

std::string WriteCatalogue(int Count)
{
    return WriteFile(".txt", ElementFileText(Catalogue(Count)));
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

// The same catalogue as an element file, as CelesTrak's CSV and as its JSON.
void MeasureForms(int Count, int Repeats)
{
    const std::vector<std::string> lines = Catalogue(Count);
    const std::pair<const char*, std::string> forms[] = {
        {"element lines", WriteFile(".txt", ElementFileText(lines))},
        {"CSV", WriteFile(".csv", CatalogueAsOmmCsv(lines))},
        {"JSON", WriteFile(".json", CatalogueAsOmmJson(lines))},
    };
    for (const auto& [form, path] : forms) {
        const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
        const double ms = LoadMilliseconds(path, Count, Repeats);
        std::remove(path.c_str());
        std::printf("%7d sets as %-13s %6.1f MiB  %8.2f ms  %6.3f us/set\n", Count, form, megabytes, ms,
                    1000.0 * ms / Count);
        std::fflush(stdout);
    }
}

// Runs Measure in a child process and waits for it.
template <typename TMeasure>
void InChild(TMeasure Measure)
{
    const pid_t child = ::fork();
    if (child == 0) {
        Measure();
        std::_Exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
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
    for (const int count : sizes)
        InChild([&] { MeasureOne(count, repeats); });
    const int formsCount = argc > 1 ? sizes.front() : 60000;
    std::printf("Loading one catalogue in each form (best of %d):\n", repeats);
    std::fflush(stdout);
    InChild([&] { MeasureForms(formsCount, repeats); });
    return 0;
}
