// elsetry-catalogue: writes a synthetic element-set catalogue to standard output.

#include "tools/catalogue/CatalogueGenerator.h"

#include "text/CatalogueNumber.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: elsetry-catalogue [--count N] [--seed S] [--first-day DAY] [--first-number N] "
                         "[--alpha5]\n");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    elsetry::TCatalogueOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--alpha5") {
            options.Alpha5 = true;
            continue;
        }
        if (i + 1 == argc)
            return Usage();
        const char* value = argv[++i];
        if (option == "--count")
            options.Count = std::atoi(value);
        else if (option == "--seed")
            options.Seed = std::strtoull(value, nullptr, 10);
        else if (option == "--first-day")
            options.FirstEpochDay = std::atof(value);
        else if (option == "--first-number")
            options.FirstNumber = std::atoi(value);
        else
            return Usage();
    }
    if (options.FirstNumber < 1 || options.FirstNumber > (options.Alpha5 ? elsetry::LargestCatalogueNumber : 99999))
        return Usage();
    for (const std::string& line : elsetry::GenerateCatalogue(options))
        std::printf("%s\n", line.c_str());
    return 0;
}
