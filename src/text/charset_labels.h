#pragma once
#include <string>
#include <string_view>

namespace pq {

// Character-set names are those of the WHATWG Encoding Standard, which browsers use, in lower
// case as that standard spells them ("utf-8", "windows-1252", "shift_jis", "euc-kr", "gbk",
// "utf-16le", ...). Labels such as "ISO-8859-1", "latin1" and "US-ASCII" name "windows-1252".

// The name a label stands for (surrounding blanks and case ignored), or "" for an unknown label.
std::string CharsetForLabel(std::string_view label);

// The glibc iconv name that reads and writes a character set as browsers do: "shift_jis" is
// Windows-31J ("CP932"), "euc-jp" "EUC-JP-MS" (the same symbols as Windows-31J, as browsers
// read them), "euc-kr" Windows-949 ("CP949"), "gbk" "GBK". "" for the sets that
// iconv does not hold the browsers' way ("windows-1252", "x-user-defined", "replacement");
// DecodeBytes handles those itself.
std::string IconvName(std::string_view charset);

}  // namespace pq
