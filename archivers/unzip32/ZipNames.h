// Deciding how a ZIP entry's stored name is encoded and turning it into UTF-8.
#pragma once

#include <string>
#include <string_view>

struct zip;

namespace kestrel::zip {

// `raw` is the name as stored, `strict` what libzip makes of it when it follows the
// format strictly (CP437 unless the UTF-8 flag is set). The entry's Unicode Path extra
// field, when present and made for this very name, wins.
std::string decodeEntryName(struct zip* archive, uint64_t index, const std::string& raw,
                            const std::string& strict);

// The stored bytes as UTF-8, without an archive at hand (no extra fields).
std::string decodeStoredName(std::string_view raw);

}  // namespace kestrel::zip
