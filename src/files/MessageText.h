// A piece of a file's content or of another program's output made fit to quote in a one-line
// message, so that a hostile file cannot flood a message box or send escape sequences to a
// terminal: the converter's error line goes through it, as every message quoting a file should.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The most characters a quotation shows, an escaped byte counting as the four it takes.
constexpr std::size_t kMaxQuotedChars = 80;

// text with every control character, DEL, C1 control and byte that is not valid UTF-8 written as
// "\xNN", cut after kMaxQuotedChars characters with "..." added: "\x1b[31mred" stays one line
// of 12 characters that a terminal shows as it is.
std::string QuotedText(std::string_view text);
