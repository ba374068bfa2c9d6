#pragma once
// Path rules shared by the file system, the archives and the content manager.
// Slash and backslash are equivalent wherever a path is taken apart; characters
// are compared exactly (case matters).
#include "engine/core/Types.h"

namespace engine {

// The two path separators, slash then backslash.
inline constexpr char PathSeparators[] = "/\\";

inline bool isPathSeparator(char c) { return c == PathSeparators[0] || c == PathSeparators[1]; }

// The part that makes a path absolute: a drive letter ("C" of "C:..."), a
// "//server/share" prefix, or "/" for a path that starts at the file-system
// root. Empty for a relative path.
stringc getPathRoot(const stringc& path);

// The text after the last '/', '\' or ':'; the whole path when there is none.
stringc getFileNamePart(const stringc& path);

// The text after the last '.' anywhere in the path (folders included), without
// the '.'; empty when there is no '.'.
stringc getFileExtension(const stringc& path);

// Resolves a path against the file that mentions it (base names a file, its
// last component is dropped). Leading "../" and "./" of the path are consumed;
// nothing else is normalised.
stringc joinPath(const stringc& base, const stringc& path);

// The inverse of joinPath: the path made relative to the file named by base,
// written with '/' only.
stringc makePathRelative(const stringc& base, const stringc& path);

// The path with every '\' replaced by '/'. The operating system only knows '/'.
stringc toForwardSlashes(const stringc& path);

// ASCII lower-casing and comparison.
stringc toLowerAscii(const stringc& text);
bool equalsIgnoreCaseAscii(const stringc& a, const stringc& b);

// Archive directory order: characters compared one by one as signed bytes; a
// name sorts before the longer names it begins. Negative, zero or positive.
int compareArchiveNames(const stringc& a, const stringc& b);

}  // namespace engine
