#pragma once
// The bytes of a text as the engine's own files hold it.
#include <string>

namespace testing_support {

// UTF-16 little-endian, after a byte-order mark unless bom is false.
std::string utf16le(const std::wstring& text, bool bom = true);

}  // namespace testing_support
