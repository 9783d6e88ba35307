#pragma once
// Space-Track's query API as a run uses it: the query paths of a group's filters and of lists of
// catalogue numbers, their escaping, and reading a three-line-element answer back into the plain
// element-file form.

#include "download/sources/SourceAnswer.h"
#include "download/sources/SpaceTrackGroups.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

inline constexpr std::string_view ApiLoginPath = "/ajaxauth/login";
inline constexpr std::string_view ApiLogoutPath = "/ajaxauth/logout";
inline constexpr std::string_view GpQueryPrefix = "/basicspacedata/query/class/gp/";
// The session cookie the login sets.
inline constexpr std::string_view ApiSessionCookie = "chocolatechip";
// The most catalogue numbers one query asks for.
inline constexpr std::size_t NumbersPerQuery = 200;

// The readable path of a gp query: the prefix, the filters, "/orderby/norad_cat_id asc/format/3le"
// ("format/csv" or "format/json" for an OMM answer).
std::string GpQueryPath(std::string_view Filters, TOmmKind Format = TOmmKind::None);
// "NORAD_CAT_ID/<n>,<n>,..." for each run of at most NumbersPerQuery numbers, in their order.
std::vector<std::string> NumberListFilters(const std::vector<long>& Numbers);
// The path with every character a URL may not carry as it is percent-encoded (">" "<" "," blank,
// and anything but letters, digits and "/-._~"); "/" stays.
std::string EscapedPath(std::string_view Path);

// Whether a body is the service's answer to an account that asked too often.
bool IsRateLimitAnswer(std::string_view Body);

// The element sets of a 3le answer as element-file lines: each set's name line without its "0 "
// and its two element lines; none for an empty body. Raises EGroupFailed for a body that is a JSON
// or HTML answer or holds lines that are not element sets.
std::vector<std::string> ThreeLineElementLines(std::string_view Body);

// The element sets of a CSV or JSON (OMM) answer as element-file lines, written as Space-Track
// writes its 3le answers; none for an empty body or a CSV header alone. Objects numbered past what
// element lines can hold are left out, and counted in PastElementLines when given. Raises
// EGroupFailed, as ThreeLineElementLines does, for an error answer, an HTML page, or records that
// do not read as element sets.
std::vector<std::string> OmmAnswerLines(std::string_view Body, TOmmKind Kind, std::size_t* PastElementLines = nullptr);

// Appends one query's OMM answer to the text of the answers before it, as one answer of its kind:
// CSV under the first header only, JSON as one list.
void AppendOmmAnswer(std::string& Text, std::string&& Body, TOmmKind Kind);

// Several answers' lines as one group: each catalogue number once (the first answer's set), in
// catalogue-number order.
std::vector<std::string> MergedSetLines(const std::vector<std::vector<std::string>>& Answers);

} // namespace elsetry
