#pragma once
// The text form of a key tree, as the file-backed store keeps it: UTF-8,
// one line per key and per value.
//
//   ; comment
//   [Software\VeskClock]              a key (the path percent-escapes '%' and
//                                     control characters; [] is the root)
//   "FormVersion"=sz:"0"              REG_SZ text
//   "Path"=expand_sz:"%HOME%\x"       REG_EXPAND_SZ text
//   "AllowWindowReuse"=dword:00000001 REG_DWORD, 8 hex digits, big-endian
//   "Blob"=hex(3):01ff7a              any type number, its bytes in hex
//
// Quoted texts escape \\ \" \n \r \t and other control characters as \xHH.
// Text values are written as text only when their stored bytes are exactly
// the UTF-16 form of that text with one terminating zero; everything else
// (a missing terminator, an odd byte count, a broken surrogate) is written
// in hex, so writing and reading back gives the same bytes.
//
// Reading never fails: a line that does not parse is skipped and counted,
// and every other line is used. Empty lines and lines beginning with ';' or
// '#' are comments; a CR before the line end and a UTF-8 byte order mark at
// the start are ignored.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/key_tree.h"

namespace vesk::platform {

struct TKeyFileContents {
  TKeyNode Root;
  std::size_t BadLines = 0;
  std::size_t FirstBadLine = 0;  // 1-based; 0 when every line was read
};

[[nodiscard]] TKeyFileContents ParseKeyFile(std::string_view text);
[[nodiscard]] std::string FormatKeyFile(const TKeyNode& root);

}  // namespace vesk::platform
