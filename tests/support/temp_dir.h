#pragma once
// A fresh folder for one test, removed with everything in it at the end.
#include <string>

namespace fakes {

class TempDir {
public:
    // name_prefix may hold blanks, for paths that must survive them.
    explicit TempDir(const std::string& name_prefix = "ledgrin-test-");
    // The same inside the folder `under` (an existing folder), in place of the system's
    // temporary folder.
    TempDir(const std::string& name_prefix, const std::string& under);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Ends in '/'.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

    // Creates a file (and nothing above it) with these bytes; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // Creates a subfolder; returns its path with a trailing '/'.
    std::string folder(const std::string& name) const;

private:
    std::string path_;
};

// Removes a folder with everything in it, giving back first the rights tests take away.
void remove_tree(const std::string& path);

}  // namespace fakes
