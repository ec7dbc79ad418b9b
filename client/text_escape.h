// C-style escaping of a text for one-line output, shared by the console
// front end (prompts, popups, panel texts) and the simulator's RX/TX lines:
//   \n \r \t \" \\   for those five characters,
//   \xNN             (two lower-case hex digits) for every other byte below
//                    0x20 and every byte from 0x7f (DEL) up,
//   the byte itself  for the rest of printable ASCII (0x20..0x7e).
// The result is printable ASCII whatever the text holds, so one text is one
// line and no raw control or high byte reaches a terminal or a log.  Always
// exactly two digits after \x: a reader takes two, whatever follows.
//
// Header-only: the simulator uses it without linking the toolkit.
#pragma once

#include <string>
#include <string_view>

inline std::string EscapeText(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (unsigned char ch : text) {
        switch (ch) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (ch < 0x20 || ch >= 0x7f) {
                    out += "\\x";
                    out += kHex[ch >> 4];
                    out += kHex[ch & 0xf];
                } else {
                    out += static_cast<char>(ch);
                }
        }
    }
    return out;
}
