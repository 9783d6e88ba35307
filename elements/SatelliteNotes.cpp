#include "elements/SatelliteList.h"

namespace elsetry {

void TSatelliteList::ReadNotes(const std::string& /*FileName*/)
{
}

} // namespace elsetry
