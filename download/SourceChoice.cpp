#include "download/SourceChoice.h"

#include "download/LegacyFormSource.h"

namespace elsetry {

std::unique_ptr<TSource> SourceFor(const TDownloadInputs& Inputs)
{
    return std::make_unique<TLegacyFormSource>(Inputs.SpaceTrackAddress);
}

} // namespace elsetry
