#pragma once
// The sources a run can speak to, as the "Source" setting names them, and their addresses.

#include <string_view>

namespace elsetry {

inline constexpr std::string_view SourceSetting = "Source";
// Space-Track's query API under /ajaxauth and /basicspacedata; the default.
inline constexpr std::string_view SpaceTrackApiSource = "Space-Track";
// Space-Track's form exchange under /perl/.
inline constexpr std::string_view SpaceTrackLegacySource = "Space-Track legacy";
// CelesTrak's public element sets, without an account.
inline constexpr std::string_view CelesTrakSource = "CelesTrak";

inline constexpr std::string_view CelesTrakAddressSetting = "CelesTrakAddress";
inline constexpr std::string_view DefaultCelesTrakAddress = "https://celestrak.org";

} // namespace elsetry
