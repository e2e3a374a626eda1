#pragma once
#include <memory>
#include <string>

#include "error.h"

namespace platform {

// A file written through a held folder and held open since: what is started from it is the
// very file that was written, whatever its name has come to lead to by then.
class HeldFile {
public:
    virtual ~HeldFile() = default;
    // Its folder's path followed by its name.
    virtual const std::string& path() const = 0;
    // True while its name in the held folder still leads to this file itself: not to a link,
    // not to another file put in its place.
    virtual bool still_in_place() const = 0;
    // The file open for reading, for a start through the descriptor; -1 where there is none.
    virtual int descriptor() const = 0;
};

// A folder held open since it was checked. What is written through it goes into that very
// folder, even when its path has since been swapped for a link or for another folder.
class HeldFolder {
public:
    virtual ~HeldFolder() = default;
    // The path it was opened by, ending in '/'.
    virtual const std::string& path() const = 0;
    // Appends UTF-8 text converted to CP932 to the plain file `name` in the folder, created
    // when missing, flushed to disk. Throws Error when it cannot; the file then still holds
    // exactly what it held before, so no record is ever cut and none follows a cut one.
    virtual void append_cp932(const std::string& name, const std::string& utf8) = 0;
    // Writes the bytes as the whole new content of the plain file `name` in the folder through
    // a temporary file beside it, flushed, and a rename; mode 0755 when executable (a program
    // to be started), else 0644. An existing file without its owner's write bit is kept and the
    // call fails, as it does for a name that is not a plain file. Throws Error and leaves no
    // temporary file behind; returns the file written, held open.
    virtual std::shared_ptr<HeldFile> write_file(const std::string& name, const std::string& bytes,
                                                 bool executable) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    virtual bool folder_exists(const std::string& path) = 0;
    // One level only; throws Error when it cannot be created (parent missing,
    // no right, a plain file in the way).
    virtual void create_folder(const std::string& path) = 0;
    // True when the folder itself (not a link to one) belongs to the current user, nobody
    // else may write to it, and the folder it sits in lets no other account replace it.
    virtual bool folder_is_trusted(const std::string& path) = 0;
    // The folder, held open, when folder_is_trusted accepts it; nullptr otherwise.
    virtual std::shared_ptr<HeldFolder> hold_trusted_folder(const std::string& path) = 0;
    virtual bool file_exists(const std::string& path) = 0;
    // Deletes the plain files matching a pattern whose last component may hold '*' and '?'
    // ("*.*" means every plain file, with or without a dot). A file without its owner's
    // write bit is kept. Returns how many were deleted; never throws for a missing folder.
    virtual int delete_files(const std::string& pattern) = 0;
    // Writes byte-order mark + UTF-8 text through a temporary file, flushed to disk, and a
    // rename; throws Error on failure and leaves no temporary file behind.
    virtual void write_utf8_bom(const std::string& path, const std::string& utf8) = 0;
    virtual std::string read_all(const std::string& path) = 0;  // throws Error
    virtual void remove_file(const std::string& path) = 0;      // missing file is not an error
};

}  // namespace platform
