#pragma once
// The engine's only way to files: plain files, mounted archives (folders, zip
// files, asset archives), memory files, XML readers, unique names and the data
// folders.
//
// Ownership: the file system is an engine object (RefCounted) owned by the
// device. Every create/open operation returns one reference that the caller
// owns: files are Irrlicht objects (drop()); XML readers, archives and loaders
// are engine objects (release()). Archives and loaders handed to the
// file system are owned by it.
//
// Paths are narrow strings; '\' is accepted as a separator and turned into '/'
// before the operating system sees a path.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include "engine/io/FileArchive.h"
#include <functional>
#include <vector>

namespace engine {

class XmlReader;

class FileSystem : public virtual RefCounted {
public:
    // Installs the built-in loaders: asset archive, zip, mount point.
    FileSystem();
    ~FileSystem() override;

    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // With includeArchives, a name any mounted archive finds counts; then the
    // plain path is tested.
    virtual bool existFile(const stringc& path, bool includeArchives = true);
    // Plain files only; archives are never touched. Folders are not removed.
    virtual bool removeFile(const stringc& path);
    virtual bool renameFile(const stringc& oldPath, const stringc& newPath);
    // prefix + six random digits, a name not taken in the folder at the time of the call.
    virtual stringc makeUniqueFileName(const stringc& folder, const stringc& prefix);

    // The plain file first (relative to the working directory), then each archive
    // in the order added. Null when nothing has the file; nothing is logged.
    virtual irr::io::IReadFile* createAndOpenFile(const stringc& path);
    // A MemoryFile over the block; null for null memory or a negative size.
    virtual irr::io::IReadFile* createMemoryReadFile(void* memory, int32_t size, const stringc& name,
                                                     bool deleteWhenDropped);
    virtual irr::io::IWriteFile* createMemoryWriteFile(void* memory, int32_t size, const stringc& name,
                                                       bool deleteWhenDropped);
    // A plain file for writing (truncated unless append); null when it cannot be opened.
    virtual irr::io::IWriteFile* createAndWriteFile(const stringc& path, bool append);

    // Mounts an archive made by the first loader that accepts the name, then by
    // the first that accepts the content. False and "Could not create archive
    // for" logged when none does.
    virtual bool addFileArchive(const stringc& path, bool ignoreCase, bool ignorePaths);
    virtual bool addFileArchive(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths);
    // addFileArchive under the name the game calls it by.
    bool addArchive(const stringc& path, bool ignoreCase = false, bool ignorePaths = false) {
        return addFileArchive(path, ignoreCase, ignorePaths);
    }
    // Takes the archive out of the search list and releases the file system's
    // reference to it; a caller that keeps using it must hold its own.
    virtual void removeFileArchive(FileArchive* archive);
    virtual uint32_t getFileArchiveCount() const;
    // No reference added; null when the index is not below the count.
    virtual FileArchive* getFileArchive(uint32_t index) const;
    // Appends a loader, taking over the caller's reference; tried after the built-in ones.
    virtual void addArchiveLoader(ArchiveLoader* loader);

    // The engine's XML reader (defaults for missing attributes, the engine's
    // number syntax, an end node for every empty element) over the file from
    // its current position to its end; the file stays the caller's. Null for a
    // null file. Content that is no XML gives a reader whose read() is false.
    virtual XmlReader* createXMLReader(irr::io::IReadFile* file);
    // Opens the path as createAndOpenFile does; null when it cannot be opened.
    virtual XmlReader* createXMLReader(const stringc& path);
    // Irrlicht's list of the entries of the working directory.
    virtual irr::io::IFileList* createFileList();

    // The path made absolute against the working directory, "." and ".."
    // resolved; empty on failure.
    virtual stringc getAbsolutePath(const stringc& path);
    virtual stringc getWorkingDirectory();
    virtual bool changeWorkingDirectoryTo(const stringc& path);
    // Empty here; the engine's file system gives the per-user data folders.
    virtual stringc getUserDataFolder();
    virtual stringc getSharedDataFolder();

    // Engine settings the file system needs, fed by the device.
    void setPublisherName(const stringc& name) { publisherName_ = name; }
    void setTitleName(const stringc& name) { titleName_ = name; }
    // The key of asset archives mounted from now on; a mounted archive keeps its key.
    void setAssetsCryptKey(const stringc& key) { assetsCryptKey_ = key; }
    const stringc& getPublisherName() const { return publisherName_; }
    const stringc& getTitleName() const { return titleName_; }
    const stringc& getAssetsCryptKey() const { return assetsCryptKey_; }

    // The 32-bit random numbers unique names are drawn from; the device points it
    // at the engine's shared generator. Until then a private MT19937 serves.
    void setRandomSource(std::function<uint32_t()> source);

protected:
    // The Irrlicht file system that makes XML readers and file lists.
    irr::io::IFileSystem* irrFileSystem();

private:
    FileArchive* createArchiveFromFile(irr::io::IReadFile* file, bool ignoreCase, bool ignorePaths);
    void appendArchive(FileArchive* archive);

    std::vector<ArchiveLoader*> loaders_;
    std::vector<FileArchive*> archives_;
    stringc publisherName_;
    stringc titleName_;
    stringc assetsCryptKey_;
    std::function<uint32_t()> randomSource_;
    irr::io::IFileSystem* irrFileSystem_ = nullptr;
};

// The file system the engine runs with: folders count as existing, and the data
// folders live under the user's XDG data folder.
class EngineFileSystem : public FileSystem {
public:
    // True for any existing entry, folders included.
    bool existFile(const stringc& path, bool includeArchives = true) override;
    // ${XDG_DATA_HOME:-$HOME/.local/share}/<PublisherName>/<TitleName>, every
    // missing level created; no trailing separator. Empty when there is no home.
    stringc getUserDataFolder() override;
    // The "Shared" folder inside the user data folder, created when missing.
    stringc getSharedDataFolder() override;
};

}  // namespace engine
