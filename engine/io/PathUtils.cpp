#include "engine/io/PathUtils.h"

namespace engine {

namespace {

// Position of the last separator in text[0, end), or -1.
int32_t findLastSeparator(const stringc& text, int32_t end) {
    for (int32_t i = end - 1; i >= 0; --i)
        if (isPathSeparator(text[i])) return i;
    return -1;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

stringc getPathRoot(const stringc& path) {
    const int32_t len = static_cast<int32_t>(path.size());
    if (len == 0) return stringc();
    if (len >= 2 && path[1] == ':') return path.subString(0, 1);
    if (len >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1])) {
        // "//server/share": up to, not including, the second separator after the pair.
        int32_t found = 0;
        for (int32_t i = 2; i < len; ++i) {
            if (isPathSeparator(path[i]) && ++found == 2) return path.subString(0, i);
        }
        return path;
    }
    // A single leading separator starts at the file-system root.
    if (isPathSeparator(path[0])) return stringc("/");
    return stringc();
}

stringc getFileNamePart(const stringc& path) {
    for (int32_t i = static_cast<int32_t>(path.size()) - 1; i >= 0; --i) {
        const char c = path[i];
        if (isPathSeparator(c) || c == ':') return path.subString(i + 1, path.size() - i - 1);
    }
    return path;
}

stringc getFileExtension(const stringc& path) {
    const int32_t dot = path.findLast('.');
    if (dot < 0) return stringc();
    return path.subString(dot + 1, path.size() - dot - 1);
}

stringc joinPath(const stringc& base, const stringc& path) {
    if (base.size() == 0 || getPathRoot(path).size() != 0) return path;
    const int32_t lastSep = findLastSeparator(base, static_cast<int32_t>(base.size()));
    if (lastSep < 0) return path;

    stringc folder = base.subString(0, lastSep);
    stringc rest = path;
    for (;;) {
        if (rest.size() >= 3 && rest[0] == '.' && rest[1] == '.' && isPathSeparator(rest[2])) {
            rest = rest.subString(3, rest.size() - 3);
            const int32_t cut = findLastSeparator(folder, static_cast<int32_t>(folder.size()));
            folder = cut < 0 ? stringc() : folder.subString(0, cut);
        } else if (rest.size() >= 2 && rest[0] == '.' && isPathSeparator(rest[1])) {
            rest = rest.subString(2, rest.size() - 2);
        } else {
            break;
        }
    }
    if (folder.size() == 0) return rest;
    stringc out = folder;
    out += "/";
    out += rest;
    return out;
}

stringc makePathRelative(const stringc& base, const stringc& path) {
    if (base.size() == 0 || getPathRoot(base) != getPathRoot(path)) return path;

    const int32_t baseLen = static_cast<int32_t>(base.size());
    const int32_t pathLen = static_cast<int32_t>(path.size());
    int32_t common = -1;  // last separator position both share
    for (int32_t i = 0; i < baseLen && i < pathLen; ++i) {
        if (isPathSeparator(base[i]) && isPathSeparator(path[i]))
            common = i;
        else if (base[i] != path[i])
            break;
    }

    stringc out;
    for (int32_t i = common + 1; i < baseLen; ++i)
        if (isPathSeparator(base[i])) out += "../";
    out += path.subString(common + 1, pathLen - common - 1);
    return toForwardSlashes(out);
}

stringc toForwardSlashes(const stringc& path) {
    stringc out = path;
    out.replace('\\', '/');
    return out;
}

stringc toLowerAscii(const stringc& text) {
    stringc out = text;
    for (uint32_t i = 0; i < out.size(); ++i) out[i] = lowerAscii(out[i]);
    return out;
}

bool equalsIgnoreCaseAscii(const stringc& a, const stringc& b) {
    if (a.size() != b.size()) return false;
    for (uint32_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

int compareArchiveNames(const stringc& a, const stringc& b) {
    const uint32_t n = a.size() < b.size() ? a.size() : b.size();
    for (uint32_t i = 0; i < n; ++i) {
        const signed char ca = static_cast<signed char>(a[i]);
        const signed char cb = static_cast<signed char>(b[i]);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace engine
