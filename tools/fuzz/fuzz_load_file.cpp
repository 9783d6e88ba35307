// Loads arbitrary bytes as an element file, in any of its forms.

#include "elements/OmmRecord.h"
#include "elements/SatelliteList.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The file every input is written to, removed when the fuzzer exits.
struct TInputFile {
    std::string Path = "/tmp/elsetry-fuzz-" + std::to_string(::getpid()) + ".txt";
    ~TInputFile() { ::unlink(Path.c_str()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    static const TInputFile input;
    const std::string& path = input.Path;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(Data),
                                                                   static_cast<std::streamsize>(Size));
    elsetry::TSatelliteList list;
    try {
        list.LoadFromFile(path);
    } catch (const elsetry::EOmmFormat&) {
        // A text that opens as CSV or JSON sets but is not one is refused: an answer, not a fault.
        return 0;
    }
    for (int i = 0; i < list.Count(); ++i)
        if (list.IndexOfCatalogueNumber(list.GetSatellite(i)->CatalogueNumber) != i)
            __builtin_trap();
    return 0;
}
