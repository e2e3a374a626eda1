#include "program_kinds.h"

#include <string_view>

namespace platform {

namespace {

using K = ProgramKind;

struct Program {
    ProgramKind kind;
    // A name of WM_CLASS, matched exactly against its instance or its class part.
    const char* wm_class;
    // File managers: what the program puts after the folder's name in its title.
    const char* folder_suffix = "";
};

// The programs of each kind. Each kind begins with the classes the lists name, which say
// the kind they stand for; the others are what the Linux programs put in WM_CLASS
// (instance, class) and, for file managers, the title of a window on the folder
// "bramwick", as read from the programs of Debian 12 started under Xvfb (xprop WM_CLASS
// _NET_WM_NAME). Names a program shares with programs of other kinds ("libreoffice", the
// instance of every LibreOffice window) are left out: a name here must say the kind on
// its own.
constexpr Program kPrograms[] = {
    {K::web_browser, "IEFrame"},
    {K::web_browser, "firefox-esr"},     // "Navigator", "firefox-esr"
    {K::web_browser, "firefox"},         // Firefox's own builds
    {K::web_browser, "Navigator"},       // the browser window of every Firefox build
    {K::web_browser, "chromium"},        // "chromium", "Chromium"
    {K::web_browser, "google-chrome"},   // "google-chrome", "Google-chrome" (not packaged by Debian)
    {K::web_browser, "epiphany"},        // GNOME Web: "epiphany", "Epiphany"
    {K::web_browser, "konqueror"},       // "konqueror", "konqueror"; also shows folders
    {K::web_browser, "Falkon"},          // "Falkon Browser", "Falkon"

    {K::spreadsheet, "XLMAIN"},
    {K::spreadsheet, "libreoffice-calc"},  // "libreoffice", "libreoffice-calc"
    {K::spreadsheet, "gnumeric"},          // "gnumeric", "Gnumeric"

    {K::word_processor, "OpusApp"},
    {K::word_processor, "libreoffice-writer"},  // "libreoffice", "libreoffice-writer"
    {K::word_processor, "abiword"},             // "abiword", "Abiword"

    {K::database, "OMain"},
    {K::database, "libreoffice-base"},  // "libreoffice", "libreoffice-base"

    {K::mail, "rctrl_renwnd32"},
    {K::mail, "Outlook Express Browser Class"},
    {K::mail, "Mail"},                  // Thunderbird's main window: "Mail", "thunderbird-default"
    {K::mail, "Msgcompose"},            // Thunderbird's message window
    {K::mail, "thunderbird"},
    {K::mail, "thunderbird-default"},
    {K::mail, "thunderbird-esr"},
    {K::mail, "evolution"},             // "evolution", "Evolution"
    {K::mail, "kmail2"},                // "kmail", "kmail2"
    {K::mail, "kmail"},
    {K::mail, "geary"},                 // "geary", "Geary"
    {K::mail, "claws-mail"},            // "claws-mail", "Claws-mail"

    {K::text_editor, "Notepad"},
    {K::text_editor, "gedit"},              // "gedit", "Gedit"
    {K::text_editor, "gnome-text-editor"},  // "gnome-text-editor", "gnome-text-editor"
    {K::text_editor, "mousepad"},           // "mousepad", "Mousepad"
    {K::text_editor, "kate"},               // "kate", "kate"
    {K::text_editor, "kwrite"},             // "kwrite", "kwrite"
    {K::text_editor, "pluma"},              // "pluma", "Pluma"
    {K::text_editor, "xed"},                // "xed", "Xed" (not packaged by Debian)
    {K::text_editor, "featherpad"},         // "featherpad", "FeatherPad"

    {K::file_manager, "CabinetWClass"},
    {K::file_manager, "org.gnome.Nautilus"},  // title "bramwick"
    {K::file_manager, "thunar", " - Thunar"},   // "thunar", "Thunar"; "bramwick - Thunar"
    {K::file_manager, "dolphin", " — Dolphin"}, // "dolphin", "dolphin"; "bramwick — Dolphin"
    {K::file_manager, "pcmanfm"},             // "pcmanfm", "Pcmanfm"; "bramwick"
    {K::file_manager, "pcmanfm-qt"},          // "pcmanfm-qt", "pcmanfm-qt"; "bramwick"
    {K::file_manager, "caja"},                // "caja", "Caja"; "bramwick"
    {K::file_manager, "nemo"},                // "nemo", "Nemo"; "bramwick"
};

}  // namespace

ProgramIdentity identify_program(const std::string& instance, const std::string& window_class) {
    ProgramIdentity id;
    for (const Program& p : kPrograms) {
        if (instance != p.wm_class && window_class != p.wm_class) continue;
        id.kinds |= kind_bit(p.kind);
        if (*p.folder_suffix) id.folder_title_suffix = p.folder_suffix;
    }
    return id;
}

std::optional<ProgramKind> kind_of_listed_class(const std::string& listed_class) {
    for (const Program& p : kPrograms)
        if (listed_class == p.wm_class) return p.kind;
    return std::nullopt;
}

bool title_shows_folder(const std::string& window_title, const std::string& folder,
                        const std::string& program_suffix) {
    if (window_title == folder) return true;
    return !program_suffix.empty() && window_title.size() == folder.size() + program_suffix.size() &&
           std::string_view(window_title).starts_with(folder) && std::string_view(window_title).ends_with(program_suffix);
}

}  // namespace platform
