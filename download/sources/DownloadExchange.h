#pragma once
// The forms the run posts and the reading of the service's answers.

#include "platform/HttpClient.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace elsetry {

std::vector<TFormField> LoginForm(const std::string& Username, const std::string& Password);
// Numbers joined by single blanks in the given order.
std::vector<TFormField> QueryForm(const std::vector<std::string>& Numbers);

// Whether the login answer opened a session: it holds "'REFRESH'" in any letter case.
bool HoldsRefreshMarker(std::string_view Answer);

// Cuts the preformatted block of a query answer down to its element sets: a leading empty line,
// the "<PRE>" line, the "OBJECT" heading and an empty line after it, and a closing "</PRE>" line,
// each tested once, in that order, on what the previous test left.
void TrimPreformattedBlock(std::vector<std::string>& Lines);

// The text as a port number; none when it is not a whole number from 0 to 65535.
std::optional<int> PortNumber(std::string_view Text);

} // namespace elsetry
