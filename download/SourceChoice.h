#pragma once
// Which source a run speaks to, from the window's values.

#include "download/DownloadHost.h"
#include "download/Source.h"

#include <functional>
#include <memory>

namespace elsetry {

using TSourceChoice = std::function<std::unique_ptr<TSource>(const TDownloadInputs&)>;

// The form exchange at the address in the inputs.
std::unique_ptr<TSource> SourceFor(const TDownloadInputs& Inputs);

} // namespace elsetry
