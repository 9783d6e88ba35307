#include "download/SourceChoice.h"

#include "download/sources/CelesTrakSource.h"
#include "download/sources/LegacyFormSource.h"
#include "download/sources/SpaceTrackApiSource.h"
#include "text/Strings.h"

namespace elsetry {

std::unique_ptr<TSource> SourceFor(const TDownloadInputs& Inputs)
{
    if (Inputs.Source.empty() || SameText(Inputs.Source, SpaceTrackApiSource))
        return std::make_unique<TSpaceTrackApiSource>(Inputs.SpaceTrackAddress, Inputs.CelesTrakAddress,
                                                      SystemRunClock());
    if (SameText(Inputs.Source, SpaceTrackLegacySource))
        return std::make_unique<TLegacyFormSource>(Inputs.SpaceTrackAddress);
    if (SameText(Inputs.Source, CelesTrakSource))
        return std::make_unique<TCelesTrakSource>(Inputs.CelesTrakAddress, SystemRunClock());
    return nullptr;
}

bool SourceNeedsLogin(const std::string& Name)
{
    return !SameText(Name, CelesTrakSource);
}

std::string UnknownSourceText(const std::string& Name)
{
    return "There is no source named \"" + EscapeControls(Name)
           + "\"; choose Space-Track, Space-Track legacy or CelesTrak as the source on the Download page";
}

} // namespace elsetry
