#pragma once
// Which source a run speaks to, from the window's values.

#include "download/RunRequest.h"
#include "download/sources/Source.h"

#include <functional>
#include <memory>
#include <string>

namespace elsetry {

using TSourceChoice = std::function<std::unique_ptr<TSource>(const TDownloadInputs&)>;

// The source the inputs name ("Source" setting, letter case aside; empty for Space-Track's API),
// at the addresses in the inputs; none for a name of no source.
std::unique_ptr<TSource> SourceFor(const TDownloadInputs& Inputs);

// Whether the source of that name wants the Space-Track login; a name of no source does, so that
// the window keeps asking for what the default source needs.
bool SourceNeedsLogin(const std::string& Name);

// What the run says when the inputs name no source it has.
std::string UnknownSourceText(const std::string& Name);

} // namespace elsetry
