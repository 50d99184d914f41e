#pragma once
// Comma text: the one-line list encoding used by part lines and gradient texts.
//
// Reading skips codes 1..32 before an item; a quoted item runs to its closing
// quote ("" stands for one quote, an unterminated item runs to the end); any
// other item runs to the first comma or code <= 32. After an item codes 1..32
// are skipped, and a comma there is consumed with the codes 1..32 after it; a
// comma that is the last character adds one empty item. An empty line gives no
// items. The text ends at its first NUL.
//
// Writing joins the items with ","; an item holding a code <= 32, a quote or a
// comma is quoted with its quotes doubled (double-byte Shift-JIS characters are
// stepped over as units), as is one ending in a stray lead byte, which would
// otherwise swallow the separator after it, or in a lead byte and a blank or
// control code, which reading a settings-file line would strip. An empty item
// is written as nothing, except that a list of exactly one empty item is
// written as "".
// Every written list reads back as it was.
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

std::vector<std::string> ReadCommaText(std::string_view line);
std::string WriteCommaText(const std::vector<std::string>& items);

} // namespace pelmora
