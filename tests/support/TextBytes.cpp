#include "support/TextBytes.h"

namespace testing_support {

std::string utf16le(const std::wstring& text, bool bom) {
    std::string out;
    if (bom) out += "\xFF\xFE";
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return out;
}

}  // namespace testing_support
