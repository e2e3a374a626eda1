#pragma once
#include <string>

#include "error.h"

namespace platform {

class Files {
public:
    virtual ~Files() = default;
    virtual bool folder_exists(const std::string& path) = 0;
    // One level only; throws Error when it cannot be created (parent missing,
    // no right, a plain file in the way).
    virtual void create_folder(const std::string& path) = 0;
    // True when the folder belongs to the current user and nobody else may write to it.
    virtual bool folder_is_trusted(const std::string& path) = 0;
    virtual bool file_exists(const std::string& path) = 0;
    // Deletes the plain files matching a pattern whose last component may hold '*' and '?'
    // ("*.*" means every plain file, with or without a dot). A file without its owner's
    // write bit is kept. Returns how many were deleted; never throws for a missing folder.
    virtual int delete_files(const std::string& pattern) = 0;
    // Appends UTF-8 text converted to CP932; throws Error when it cannot be written.
    virtual void append_cp932(const std::string& path, const std::string& utf8) = 0;
    // Writes byte-order mark + UTF-8 text through a temporary file and a rename;
    // throws Error on failure and leaves no temporary file behind.
    virtual void write_utf8_bom(const std::string& path, const std::string& utf8) = 0;
    // Writes the bytes as the file's whole new content through a temporary file in the same
    // folder and a rename, mode 0755 when executable (a program to be started), else 0644.
    // An existing file without its owner's write bit is kept and the call fails, as it does
    // for a path that is not a plain file. Throws Error and leaves no temporary file behind.
    // The default refuses, for wrappers that have no use for it.
    virtual void write_bytes(const std::string& path, const std::string& bytes, bool executable) {
        (void)bytes;
        (void)executable;
        throw Error("cannot write " + path + ": not supported");
    }
    virtual std::string read_all(const std::string& path) = 0;  // throws Error
    virtual void remove_file(const std::string& path) = 0;      // missing file is not an error
};

}  // namespace platform
