// Profile files through the profile store: the bytes are written as both
// "profile.dat" files (unenciphered) in a private folder and loaded.
#include "engine/content/ProfileStore.h"
#include "fuzz/support/FuzzSupport.h"
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace engine;

namespace {

class FolderProfileStore : public ProfileStore {
public:
    explicit FolderProfileStore(const stringc& folder) : folder_(folder) {}

protected:
    stringc getUserFolder() override { return folder_; }
    stringc getSharedFolder() override { return folder_; }
    stringc getCryptKey() override { return stringc(); }

private:
    stringc folder_;
};

const char* const kFiles[] = {"/profile.dat", "/profile.dat.bak", "/profile.dat.bad", "/profile.dat.tmp"};

void removeFiles(const std::string& folder) {
    for (const char* name : kFiles) std::remove((folder + name).c_str());
}

// A private folder, removed at exit (the path outlives the exit handlers).
const std::string& folder() {
    static const std::string* const path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-profile-XXXXXX";
        if (!::mkdtemp(pattern.data())) return new std::string();
        std::atexit([] {
            removeFiles(folder());
            ::rmdir(folder().c_str());
        });
        return new std::string(pattern.c_str());
    }();
    return *path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietLogger();
    if (folder().empty()) std::abort();
    removeFiles(folder());
    const std::string file = folder() + "/profile.dat";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out || std::fwrite(data, 1, size, out) != size || std::fclose(out) != 0) std::abort();
    CountedRef<FolderProfileStore> store(new FolderProfileStore(folder().c_str()));
    store->loadAll();
    for (uint32_t i = 0; i < store->getProfileCount(); ++i) store->selectProfile(i);
    return 0;
}
