#include "platform/commatext.h"

#include "platform/cp932.h"

namespace pelmora {

namespace {

bool IsBlankOrControl(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// Codes 0..32, a double quote or a comma: an item holding one must be quoted.
bool NeedsQuotes(char c) {
    return static_cast<unsigned char>(c) <= 32 || c == '"' || c == ',';
}

std::size_t SkipBlanks(std::string_view line, std::size_t pos) {
    while (pos < line.size() && IsBlankOrControl(line[pos])) {
        ++pos;
    }
    return pos;
}

// A quoted item starting at the opening quote; a doubled quote stands for one.
// The search for the closing quote looks at every byte: a double quote is never
// the second byte of a valid double-byte character, and the writer doubles every
// quote byte, so this also reads back an item that ends in a stray lead byte.
// An unterminated item runs to the end of the line.
std::string ReadQuotedItem(std::string_view line, std::size_t& pos) {
    std::string item;
    ++pos;
    while (pos < line.size()) {
        if (line[pos] == '"') {
            if (pos + 1 < line.size() && line[pos + 1] == '"') {
                item += '"';
                pos += 2;
                continue;
            }
            ++pos;
            break;
        }
        item += line[pos];
        ++pos;
    }
    return item;
}

// An unquoted item runs to the first comma or code <= 32, stepping over
// double-byte characters so a second byte is never taken for either.
std::string ReadPlainItem(std::string_view line, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != ',' && static_cast<unsigned char>(line[pos]) > 32) {
        pos += SjisCharLength(line, pos);
    }
    return std::string(line.substr(start, pos - start));
}

bool ItemNeedsQuotes(std::string_view item) {
    std::size_t pos = 0;
    while (pos < item.size()) {
        const std::size_t length = SjisCharLength(item, pos);
        if (length == 1 && NeedsQuotes(item[pos])) {
            return true;
        }
        // A lead byte before a final blank or control code is no character;
        // unquoted, that code could end the line of a settings file, where
        // reading strips it with the line's blanks.
        if (length == 2 && pos + 2 == item.size() && IsBlankOrControl(item[pos + 1])) {
            return true;
        }
        pos += length;
    }
    // A stray lead byte at the end would swallow the separator that follows
    // it when read back unquoted; inside quotes it reads back as it is.
    return !item.empty() && IsSjisLeadByte(static_cast<unsigned char>(item.back()));
}

std::string QuoteItem(std::string_view item) {
    std::string quoted = "\"";
    for (const char c : item) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

} // namespace

std::vector<std::string> ReadCommaText(std::string_view line) {
    // The text ends at a NUL, as a line handed over as a C string would.
    line = line.substr(0, line.find('\0'));
    std::vector<std::string> items;
    std::size_t pos = SkipBlanks(line, 0);
    while (pos < line.size()) {
        items.push_back(line[pos] == '"' ? ReadQuotedItem(line, pos) : ReadPlainItem(line, pos));
        pos = SkipBlanks(line, pos);
        if (pos < line.size() && line[pos] == ',') {
            if (pos + 1 == line.size()) {
                items.emplace_back();
            }
            pos = SkipBlanks(line, pos + 1);
        }
    }
    return items;
}

std::string WriteCommaText(const std::vector<std::string>& items) {
    if (items.size() == 1 && items.front().empty()) {
        return "\"\"";
    }
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += ItemNeedsQuotes(items[i]) ? QuoteItem(items[i]) : items[i];
    }
    return text;
}

} // namespace pelmora
