#pragma once
// The kinds of program the watchdogs close, and which X11 windows belong to each kind.
// The lists name the window classes of their original platform ("IEFrame", "XLMAIN",
// ...); each such class stands for a kind of program, and on this desktop for the Linux
// programs of that kind, recognised by the WM_CLASS of their windows.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class ProgramKind : uint8_t {
    web_browser,
    spreadsheet,
    word_processor,
    database,
    mail,
    text_editor,
    file_manager,
};

// One bit per kind, so a window's kinds are worked out once, not on every lookup.
using KindSet = uint16_t;
constexpr KindSet kind_bit(ProgramKind k) { return static_cast<KindSet>(1u << static_cast<unsigned>(k)); }

// How a file manager's title shows the folder it is on: what comes before and after, and
// whether it shows the folder's whole path in place of its name.
struct FolderTitle {
    std::string prefix, suffix;
    bool path = false;
};

// What a window's WM_CLASS (instance and class name) says it is: the kinds of program it
// belongs to, and how its title shows a folder (file managers only; the bare name when
// nothing is said).
struct ProgramIdentity {
    KindSet kinds = 0;
    FolderTitle folder_title;
};
ProgramIdentity identify_program(const std::string& instance, const std::string& window_class);

// The kind that one of the lists' classes stands for; nothing for a class the table does
// not know, which then matches only windows of exactly that class.
std::optional<ProgramKind> kind_of_listed_class(const std::string& listed_class);

// Whether a window's title shows the folder: exactly its name, or it as that file manager
// puts it in its title: its name with the program's own words before or after it
// ("bramwick - Thunar"), or a whole path that ends in it ("Xfe - /home/u/bramwick"). A
// longer name never matches.
bool title_shows_folder(const std::string& window_title, const std::string& folder, const FolderTitle& form);

}  // namespace platform
