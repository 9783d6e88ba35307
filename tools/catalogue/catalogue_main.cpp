// elsetry-catalogue: writes a synthetic element-set catalogue to standard output.

#include "tools/catalogue/CatalogueGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    elsetry::TCatalogueOptions options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--count")
            options.Count = std::atoi(argv[i + 1]);
        else if (option == "--seed")
            options.Seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (option == "--first-day")
            options.FirstEpochDay = std::atof(argv[i + 1]);
        else {
            std::fprintf(stderr, "usage: elsetry-catalogue [--count N] [--seed S] [--first-day DAY]\n");
            return 1;
        }
    }
    for (const std::string& line : elsetry::GenerateCatalogue(options))
        std::printf("%s\n", line.c_str());
    return 0;
}
