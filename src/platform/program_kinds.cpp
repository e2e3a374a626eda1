#include "program_kinds.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace platform {

namespace {

using K = ProgramKind;

struct Program {
    ProgramKind kind;
    // The class part of WM_CLASS, compared without regard to case: a program keeps it on
    // all its windows, whatever the instance says (a profile folder of its own, a web app).
    const char* wm_class;
    // The instance part, matched exactly; only where the instance alone says the kind
    // ("" for none).
    const char* instance = "";
    // File managers: how the title shows the folder.
    const char* folder_suffix = "";  // after the folder
    const char* folder_prefix = "";  // before it
    bool folder_path = false;        // its whole path, not its name
    // The class is the beginning of the program's classes, which go on with an id of each
    // window's own (a web app's).
    bool class_prefix = false;
};

// The programs of each kind. Each kind begins with the classes the lists name, which say
// the kind they stand for; the others are what the Linux programs put in WM_CLASS
// (instance, class) and, for file managers, the title of a window on the folder
// "bramwick", as read with xprop WM_CLASS _NET_WM_NAME from the programs of Debian 12
// started under Xvfb. Names a program shares with programs of other kinds
// ("libreoffice", the instance of every LibreOffice window) are left out: a name here
// must say the kind on its own.
constexpr Program kPrograms[] = {
    {K::web_browser, "IEFrame"},
    // Every Firefox build: the browser window's instance is "Navigator".
    {K::web_browser, "firefox-esr", "Navigator"},  // "Navigator", "firefox-esr"
    {K::web_browser, "firefox", "Navigator"},      // Firefox's own builds: "Navigator", "firefox"
    // "chromium", "Chromium"; with a profile folder of its own "chromium (/path/to/profile)",
    // "Chromium"; an --app=file:///tmp/x/exam.html window "tmp_x_exam.html", "Chromium"
    {K::web_browser, "Chromium", "chromium"},
    {K::web_browser, "Google-chrome", "google-chrome"},  // the same with "Google-chrome" (not packaged by Debian)
    {K::web_browser, "Epiphany", "epiphany"},            // GNOME Web: "epiphany", "Epiphany"
    // Its web apps (--application-mode with a profile of their own):
    // "org.gnome.Epiphany.WebApp_<id>", "Org.gnome.Epiphany.WebApp_<id>"
    {.kind = K::web_browser, .wm_class = "org.gnome.Epiphany.WebApp_", .class_prefix = true},
    {K::web_browser, "konqueror", "konqueror"},          // "konqueror", "konqueror"; also shows folders
    // "Falkon Browser", "Falkon"; a private window "Falkon Browser (Private Window)", "Falkon"
    {K::web_browser, "Falkon", "Falkon Browser"},
    {K::web_browser, "qutebrowser", "qutebrowser"},      // "qutebrowser", "qutebrowser"
    {K::web_browser, "Netsurf-gtk", "netsurf-gtk"},      // "netsurf-gtk", "Netsurf-gtk"
    {K::web_browser, "Dillo", "dillo"},                  // "dillo", "Dillo"
    {K::web_browser, "Luakit", "luakit"},                // "luakit", "Luakit"

    {K::spreadsheet, "XLMAIN"},
    {K::spreadsheet, "libreoffice-calc"},  // "libreoffice", "libreoffice-calc"
    {K::spreadsheet, "Gnumeric", "gnumeric"},  // "gnumeric", "Gnumeric"
    {K::spreadsheet, "calligrasheets", "calligrasheets"},  // "calligrasheets", "calligrasheets"

    {K::word_processor, "OpusApp"},
    {K::word_processor, "libreoffice-writer"},  // "libreoffice", "libreoffice-writer"
    {K::word_processor, "Abiword", "abiword"},  // "abiword", "Abiword"
    {K::word_processor, "calligrawords", "calligrawords"},  // "calligrawords", "calligrawords"

    {K::database, "OMain"},
    {K::database, "libreoffice-base"},  // "libreoffice", "libreoffice-base"
    {K::database, "kexi", "kexi-3.2"},  // "kexi-3.2", "kexi"

    {K::mail, "rctrl_renwnd32"},
    {K::mail, "Outlook Express Browser Class"},
    // Thunderbird's main window "Mail", "thunderbird-default"; its message window "Msgcompose"
    {K::mail, "thunderbird-default", "Mail"},
    {K::mail, "thunderbird", "Msgcompose"},
    {K::mail, "thunderbird-esr"},
    {K::mail, "Evolution", "evolution"},    // "evolution", "Evolution"
    {K::mail, "kmail2", "kmail"},           // "kmail", "kmail2"
    // KMail inside Kontact, whose main window holds it: "kontact", "kontact" (title
    // "Kontact"); its dialogs the same, transient for it
    {K::mail, "kontact", "kontact"},
    {K::mail, "Geary", "geary"},            // "geary", "Geary"
    {K::mail, "Claws-mail", "claws-mail"},  // "claws-mail", "Claws-mail"
    {K::mail, "Sylpheed", "sylpheed"},      // "main_window", "Sylpheed"; its dialogs "sylpheed", "Sylpheed"
    {K::mail, "Balsa", "balsa"},            // "balsa", "Balsa"

    {K::text_editor, "Notepad"},
    {K::text_editor, "Gedit", "gedit"},                          // "gedit", "Gedit"
    {K::text_editor, "gnome-text-editor", "gnome-text-editor"},  // "gnome-text-editor", "gnome-text-editor"
    {K::text_editor, "Mousepad", "mousepad"},                    // "mousepad", "Mousepad"
    {K::text_editor, "kate", "kate"},                            // "kate", "kate"
    {K::text_editor, "kwrite", "kwrite"},                        // "kwrite", "kwrite"
    {K::text_editor, "Pluma", "pluma"},                          // "pluma", "Pluma"
    {K::text_editor, "Xed", "xed"},                              // "xed", "Xed" (not packaged by Debian)
    {K::text_editor, "FeatherPad", "featherpad"},                // "featherpad", "FeatherPad"
    {K::text_editor, "Geany", "geany"},                          // "geany", "Geany"
    {K::text_editor, "Gvim", "gvim"},                            // "gvim", "Gvim"
    {K::text_editor, "Emacs", "emacs"},                          // "emacs", "Emacs" (emacs-gtk)
    {K::text_editor, "L3afpad", "l3afpad"},                      // "l3afpad", "L3afpad"
    {K::text_editor, "NEdit"},                                   // "textShell", "NEdit"

    {K::file_manager, "CabinetWClass"},
    {K::file_manager, "org.gnome.Nautilus", "org.gnome.Nautilus"},  // title "bramwick"
    {K::file_manager, "Thunar", "thunar", " - Thunar"},              // "thunar", "Thunar"; "bramwick - Thunar"
    {K::file_manager, "dolphin", "dolphin", " — Dolphin"},           // "dolphin", "dolphin"; "bramwick — Dolphin"
    {K::file_manager, "Pcmanfm", "pcmanfm"},                          // "pcmanfm", "Pcmanfm"; "bramwick"
    {K::file_manager, "pcmanfm-qt", "pcmanfm-qt"},                    // "pcmanfm-qt", "pcmanfm-qt"; "bramwick"
    {K::file_manager, "Caja", "caja"},                                // "caja", "Caja"; "bramwick"
    {K::file_manager, "Nemo", "nemo"},                                // "nemo", "Nemo"; "bramwick"
    // "xfe", "Xfe"; "Xfe - /home/user/bramwick" (as root "Xfe (root) - ...")
    {K::file_manager, "Xfe", "xfe", "", "Xfe - ", true},
    {K::file_manager, "Spacefm", "spacefm", "", "", true},            // "spacefm", "Spacefm"; "/home/user/bramwick"
    // These two name no folder in their titles ("Double Commander", "Krusader"), so the
    // rows of a folder never find them: "doublecmd", "Doublecmd"; "krusader", "krusader"
    {K::file_manager, "Doublecmd", "doublecmd"},
    {K::file_manager, "krusader", "krusader"},
};

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool names(const Program& p, const std::string& instance, const std::string& window_class) {
    if (*p.instance && instance == p.instance) return true;
    const std::string_view wanted(p.wm_class);
    // A bare prefix is no program's class.
    if (p.class_prefix)
        return window_class.size() > wanted.size() &&
               equal_ignoring_case(std::string_view(window_class).substr(0, wanted.size()), wanted);
    return equal_ignoring_case(window_class, wanted);
}

}  // namespace

ProgramIdentity identify_program(const std::string& instance, const std::string& window_class) {
    ProgramIdentity id;
    for (const Program& p : kPrograms) {
        if (!names(p, instance, window_class)) continue;
        id.kinds |= kind_bit(p.kind);
        if (*p.folder_suffix || *p.folder_prefix || p.folder_path)
            id.folder_title = {p.folder_prefix, p.folder_suffix, p.folder_path};
    }
    return id;
}

std::optional<ProgramKind> kind_of_listed_class(const std::string& listed_class) {
    for (const Program& p : kPrograms)
        if (listed_class == p.wm_class) return p.kind;
    return std::nullopt;
}

bool title_shows_folder(const std::string& window_title, const std::string& folder, const FolderTitle& form) {
    if (window_title == folder) return true;
    std::string_view shown(window_title);
    if (shown.size() < form.prefix.size() + form.suffix.size() || !shown.starts_with(form.prefix) ||
        !shown.ends_with(form.suffix))
        return false;
    shown = shown.substr(form.prefix.size(), shown.size() - form.prefix.size() - form.suffix.size());
    if (shown == folder) return true;
    return form.path && shown.size() > folder.size() && shown.front() == '/' && shown.ends_with(folder) &&
           shown[shown.size() - folder.size() - 1] == '/';
}

}  // namespace platform
