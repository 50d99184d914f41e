#pragma once
// Comma text: the one-line list encoding used by part lines and gradient texts.
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

std::vector<std::string> ReadCommaText(std::string_view line);
std::string WriteCommaText(const std::vector<std::string>& items);

} // namespace pelmora
