#include "tools/catalogue/CatalogueGenerator.h"

#include "text/CatalogueNumber.h"

#include <cstdio>
#include <random>

namespace elsetry {

namespace {

struct TKnownSatellite {
    int Number;
    const char* Name;
    double MeanMotion;
};

// Satellites whose historic files people keep, with their usual mean motions.
constexpr TKnownSatellite KnownSatellites[] = {
    {21263, "NOAA 12", 14.2360}, {23455, "NOAA 14", 14.1400}, {25338, "NOAA 15", 14.2635},
    {25544, "ISS (ZARYA)", 15.5010}, {25730, "FENGYUN 1C", 14.2000}, {26536, "NOAA 16", 14.1300},
    {27431, "FENGYUN 1D", 14.1200}, {27453, "NOAA 17", 14.2500}, {28654, "NOAA 18", 14.1300},
    {29499, "METOP-A", 14.2100}, {33591, "NOAA 19", 14.1260},
};

const char* const NamePrefixes[] = {"STARLINK-", "COSMOS ", "ONEWEB-", "IRIDIUM ", "FLOCK 4P-", "LEMUR-2-",
                                    "SL-16 R/B ", "DELTA 1 DEB ", "FENGYUN 1C DEB ", "YAOGAN-"};

struct TOrbit {
    double MeanMotion;
    double Eccentricity;
    double Inclination;
};

bool IsKnown(int Number)
{
    for (const TKnownSatellite& known : KnownSatellites)
        if (known.Number == Number)
            return true;
    return false;
}

TOrbit RandomOrbit(std::mt19937_64& Random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double kind = unit(Random);
    if (kind < 0.88) // low earth orbit
        return {11.5 + 5.0 * unit(Random), 0.02 * unit(Random) * unit(Random), 30.0 + 70.0 * unit(Random)};
    if (kind < 0.94) // navigation, about 12 to 20 hours
        return {1.2 + 1.0 * unit(Random), 0.02 * unit(Random), 50.0 + 15.0 * unit(Random)};
    if (kind < 0.98) // geosynchronous
        return {1.0027 + 0.0005 * (unit(Random) - 0.5), 0.001 * unit(Random), 0.05 + 10.0 * unit(Random)};
    return {2.0056 + 0.001 * (unit(Random) - 0.5), 0.68 + 0.06 * unit(Random), 62.0 + 2.0 * unit(Random)};
}

void AppendChecksum(std::string& Line)
{
    Line.resize(68, ' ');
    Line += static_cast<char>('0' + ElementLineChecksum(Line));
}

std::string ExponentField(double Value)
{
    // " 12345-4" form: sign, five mantissa digits behind an implied point, signed exponent.
    if (Value == 0.0)
        return " 00000-0";
    const char sign = Value < 0 ? '-' : ' ';
    double magnitude = Value < 0 ? -Value : Value;
    int exponent = 0;
    while (magnitude >= 1.0) {
        magnitude /= 10.0;
        ++exponent;
    }
    while (magnitude < 0.1) {
        magnitude *= 10.0;
        --exponent;
    }
    int mantissa = static_cast<int>(magnitude * 100000.0 + 0.5);
    if (mantissa > 99999)
        mantissa = 99999;
    char text[32];
    std::snprintf(text, sizeof text, "%c%05d%c%d", sign, mantissa, exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return text;
}

std::string LineOne(int Number, const TCatalogueOptions& Options, std::mt19937_64& Random, int SetNumber)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double epoch = Options.EpochYear * 1000.0 + Options.FirstEpochDay + 10.0 * unit(Random);
    const double ndot = 0.0002 * (unit(Random) - 0.3);
    const double bstar = 0.001 * unit(Random) * unit(Random);
    char text[160];
    std::snprintf(text, sizeof text, "1 %sU %02d%03dA   %014.8f %c.%08d %s %s 0 %4d", Alpha5Text(Number).c_str(), Options.EpochYear,
                  Number % 1000, epoch, ndot < 0 ? '-' : ' ', static_cast<int>((ndot < 0 ? -ndot : ndot) * 1e8),
                  " 00000-0", ExponentField(bstar).c_str(), SetNumber);
    std::string line(text);
    AppendChecksum(line);
    return line;
}

std::string LineTwo(int Number, const TOrbit& Orbit, std::mt19937_64& Random)
{
    std::uniform_real_distribution<double> degrees(0.0, 359.9999);
    std::uniform_int_distribution<int> revolutions(1, 99999);
    char text[160];
    std::snprintf(text, sizeof text, "2 %s %8.4f %8.4f %07d %8.4f %8.4f %11.8f%5d", Alpha5Text(Number).c_str(), Orbit.Inclination,
                  degrees(Random), static_cast<int>(Orbit.Eccentricity * 1e7), degrees(Random), degrees(Random),
                  Orbit.MeanMotion, revolutions(Random));
    std::string line(text);
    AppendChecksum(line);
    return line;
}

} // namespace

std::vector<std::string> GenerateCatalogue(const TCatalogueOptions& Options)
{
    std::mt19937_64 random(Options.Seed);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(Options.Count) * 3);
    int generated = 0;
    for (const TKnownSatellite& known : KnownSatellites) {
        if (generated == Options.Count)
            return lines;
        lines.emplace_back(known.Name);
        lines.push_back(LineOne(known.Number, Options, random, 999));
        lines.push_back(LineTwo(known.Number, {known.MeanMotion, 0.0011, 98.7}, random));
        ++generated;
    }
    constexpr int prefixCount = sizeof NamePrefixes / sizeof NamePrefixes[0];
    const int lastNumber = Options.Alpha5 ? LargestCatalogueNumber : 99999;
    for (int number = Options.FirstNumber; generated < Options.Count; ++number) {
        if (IsKnown(number))
            continue;
        lines.push_back(NamePrefixes[number % prefixCount] + std::to_string(number));
        lines.push_back(LineOne(number, Options, random, 1 + number % 999));
        lines.push_back(LineTwo(number, RandomOrbit(random), random));
        ++generated;
        if (number >= lastNumber)
            number = 1000 - 1; // wrap to the older, lower numbers when very many are asked for
    }
    return lines;
}

} // namespace elsetry
