#pragma once
// The service's form exchange under /perl/: a login form answered with a page that refreshes, each
// group as a gzip file by its number, the individual list as a query form answered with a page
// holding the sets in a preformatted block.

#include "download/sources/Source.h"

#include <string>
#include <string_view>

namespace elsetry {

class TLegacyFormSource : public TSource {
public:
    explicit TLegacyFormSource(std::string ServiceAddress);

    std::string LoginUrl() const override;
    void Probe(TRunChannel& Channel) override;
    bool LogIn(TRunChannel& Channel, const std::string& Username, const std::string& Password) override;
    // The exchange answers element lines only: no OMM text, whatever the form.
    TSourceAnswer GroupAnswer(TRunChannel& Channel, const TSpaceTrackGroup& Group, TFileForm Form) override;
    TSourceAnswer IndividualListAnswer(TRunChannel& Channel, const std::vector<std::string>& Numbers,
                                       TFileForm Form) override;
    void LogOut(TRunChannel& Channel) override;

private:
    std::string Url(std::string_view Path) const;

    std::string Address;
};

} // namespace elsetry
