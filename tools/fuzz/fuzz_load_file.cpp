// Loads arbitrary bytes as an element file.

#include "elements/SatelliteList.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    static const std::string path = "/tmp/elsetry-fuzz-" + std::to_string(::getpid()) + ".txt";
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(Data),
                                                                   static_cast<std::streamsize>(Size));
    elsetry::TSatelliteList list;
    list.LoadFromFile(path);
    for (int i = 0; i < list.Count(); ++i)
        if (list.IndexOfCatalogueNumber(list.GetSatellite(i)->CatalogueNumber) != i)
            __builtin_trap();
    return 0;
}
