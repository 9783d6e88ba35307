#include "download/SourceChoice.h"

#include "download/LegacyFormSource.h"
#include "download/SpaceTrackApiSource.h"
#include "text/Strings.h"

namespace elsetry {

std::unique_ptr<TSource> SourceFor(const TDownloadInputs& Inputs)
{
    if (Inputs.Source.empty() || SameText(Inputs.Source, SpaceTrackApiSource))
        return std::make_unique<TSpaceTrackApiSource>(Inputs.SpaceTrackAddress, Inputs.CelesTrakAddress,
                                                      SystemRunClock());
    if (SameText(Inputs.Source, SpaceTrackLegacySource))
        return std::make_unique<TLegacyFormSource>(Inputs.SpaceTrackAddress);
    return nullptr;
}

bool SourceNeedsLogin(const std::string& Name)
{
    return !SameText(Name, CelesTrakSource);
}

std::string UnknownSourceText(const std::string& Name)
{
    const std::string choose = "; choose Space-Track or Space-Track legacy as the source on the Download page";
    if (SameText(Name, CelesTrakSource))
        return "CelesTrak is not yet available as a source" + choose;
    return "There is no source named \"" + EscapeControls(Name) + "\"" + choose;
}

} // namespace elsetry
