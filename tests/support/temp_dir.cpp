#include "support/temp_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace fakes {

namespace fs = std::filesystem;

TempDir::TempDir(const std::string& name_prefix)
    : TempDir(name_prefix, [] {
          const char* base = std::getenv("TMPDIR");
          return std::string((base && base[0] == '/') ? base : "/tmp");
      }()) {}

TempDir::TempDir(const std::string& name_prefix, const std::string& under) {
    std::string root = under;
    if (root.empty() || root.back() != '/') root += '/';
    std::string templ = root + name_prefix + "XXXXXX";
    if (!::mkdtemp(templ.data())) throw std::runtime_error("cannot create a temporary folder under " + root);
    path_ = templ + "/";
}

TempDir::~TempDir() { remove_tree(path_); }

void remove_tree(const std::string& path) {
    std::error_code ec;
    // Tests take rights away; give them back so everything can go.
    for (auto it = fs::recursive_directory_iterator(path, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    std::string p = file(name);
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + p);
    return p;
}

std::string TempDir::folder(const std::string& name) const {
    std::string p = file(name);
    if (::mkdir(p.c_str(), 0700) != 0) throw std::runtime_error("cannot create " + p);
    return p + "/";
}

}  // namespace fakes
