// Orbit model benchmark: decoding alone, decoding + initialisation + one propagation to epoch
// (what loading a list costs per set), and propagation of an initialised model, for near-earth
// and deep-space sets; and the same for every set of a 60,000-set synthetic catalogue.

#include "elements/Satellite.h"
#include "orbit/SGP_Math.h"
#include "tools/catalogue/CatalogueGenerator.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace elsetry;

namespace {

struct TLines {
    const char* L1;
    const char* L2;
};

// Near-earth: the published test set. Deep space: the published test set (not resonant), a
// 12-hour Molniya-type orbit and a geosynchronous one.
const TLines NearEarth{"1 88888U          80275.98708465  .00073094  13844-3  66816-4 0    87",
                       "2 88888  72.8435 115.9689 0086731  52.6988 110.5714 16.05824518  1058"};
const TLines DeepSpace{"1 11801U          80230.29629788  .01431103  00000-0  14311-1      13",
                       "2 11801  46.7916 230.4354 7318036  47.4722  10.4117  2.28537848    13"};
const TLines TwelveHour{"1 92001U 06001A   06001.50000000  .00000000  00000-0  00000-0 0  9990",
                        "2 92001  63.4000 100.0000 7200000 270.0000  10.0000  2.00563000  1000"};
const TLines Synchronous{"1 92002U 06001A   06001.50000000  .00000000  00000-0  00000-0 0  9990",
                         "2 92002   0.0300  80.0000 0002000  90.0000 200.0000  1.00272000  1000"};

const TLines& LinesOf(int Kind)
{
    static const TLines* kinds[] = {&NearEarth, &DeepSpace, &TwelveHour, &Synchronous};
    return *kinds[Kind];
}

void BM_Decode(benchmark::State& State)
{
    const TLines& lines = LinesOf(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        TSatellite s;
        s.ParseElements(lines.L1, lines.L2);
        benchmark::DoNotOptimize(s.MeanMotion);
    }
}

void BM_DecodeInitialisePropagate(benchmark::State& State)
{
    const TLines& lines = LinesOf(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        TSatellite s;
        s.ParseElements(lines.L1, lines.L2);
        s.PropagateToOwnEpoch();
        benchmark::DoNotOptimize(s.ArgumentOfLatitude);
    }
}

// Propagation of an initialised model to a time a day after epoch, moving by 31 minutes each
// time so that the deep-space periodic terms are evaluated every call.
void BM_Propagate(benchmark::State& State)
{
    const TLines& lines = LinesOf(static_cast<int>(State.range(0)));
    TSatellite s;
    s.ParseElements(lines.L1, lines.L2);
    s.PropagateToOwnEpoch();
    double position[3];
    double velocity[3];
    double minutes = 1440.0;
    for (auto _ : State) {
        if (s.DeepSpace != 0)
            s.PropagateDeepSpace(position, velocity, minutes);
        else
            s.PropagateNearEarth(position, velocity, minutes);
        benchmark::DoNotOptimize(position);
        minutes = minutes > 2880.0 ? 1440.0 : minutes + 31.0;
    }
}

// Decoding, initialisation and propagation to epoch of every set of a synthetic catalogue.
void BM_Catalogue(benchmark::State& State)
{
    TCatalogueOptions options;
    options.Count = static_cast<int>(State.range(0));
    const std::vector<std::string> lines = GenerateCatalogue(options);
    int deepSpace = 0;
    int failed = 0;
    for (auto _ : State) {
        deepSpace = 0;
        failed = 0;
        for (std::size_t i = 0; i + 2 < lines.size(); i += 3) {
            TSatellite s;
            s.ParseElements(lines[i + 1], lines[i + 2]);
            deepSpace += s.DeepSpace;
            try {
                s.PropagateToOwnEpoch();
            } catch (const EMathError&) {
                // As in the list: the set stays, its revolution number as written.
                ++failed;
            }
            benchmark::DoNotOptimize(s.RevolutionNumber);
        }
    }
    State.counters["sets"] = static_cast<double>(options.Count);
    State.counters["deep_space_sets"] = deepSpace;
    State.counters["failed_sets"] = failed;
    State.counters["per_set"] = benchmark::Counter(static_cast<double>(options.Count),
                                                   benchmark::Counter::kIsIterationInvariantRate |
                                                       benchmark::Counter::kInvert);
}

// 0 near-earth, 1 deep space, 2 deep space 12-hour resonant, 3 deep space synchronous.
BENCHMARK(BM_Decode)->DenseRange(0, 3);
BENCHMARK(BM_DecodeInitialisePropagate)->DenseRange(0, 3);
BENCHMARK(BM_Propagate)->DenseRange(0, 3);
BENCHMARK(BM_Catalogue)->Arg(15000)->Arg(30000)->Arg(60000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
