// Which windows a lookup picks and when a window may be asked again, without a display.
#include <gtest/gtest.h>

#include "platform/program_kinds.h"
#include "platform/window_registry.h"

namespace {

using platform::ClientWindow;
using platform::WindowRegistry;

TEST(ProgramKinds, EachListedClassStandsForTheLinuxProgramsOfItsKind) {
    struct Case {
        const char *instance, *window_class, *listed_class;
        bool matches;
    } cases[] = {
        {"Navigator", "firefox-esr", "IEFrame", true},
        {"chromium", "Chromium", "IEFrame", true},
        // A profile folder of its own, an --app window: the class still says it.
        {"chromium (/tmp/profile)", "Chromium", "IEFrame", true},
        {"tmp_exam.html", "Chromium", "IEFrame", true},
        {"text_html,exam", "chromium", "IEFrame", true},  // classes without regard to case
        {"google-chrome (/tmp/p)", "Google-chrome", "IEFrame", true},
        {"falkon", "Falkon", "IEFrame", true},
        // A web app's class goes on with its id.
        {"org.gnome.Epiphany.WebApp_0123abcd", "Org.gnome.Epiphany.WebApp_0123abcd", "IEFrame", true},
        {"x", "Org.gnome.Epiphany.WebApp_", "IEFrame", false},     // the prefix alone
        {"x", "Org.gnome.Epiphany.WebAp", "IEFrame", false},       // short of it
        {"x", "my.org.gnome.Epiphany.WebApp_1", "IEFrame", false}, // at its start only
        {"x", "Org.gnome.Epiphany.WebApp_1", "Notepad", false},
        {"x", "Org.gnome.Epiphany.WebAppX_1", "IEFrame", false},   // a near miss
        {"x", "Epiphany2", "IEFrame", false},                      // the other classes stay whole
        {"chromium", "Chromium", "Notepad", false},
        {"geany", "Geany", "Notepad", true},
        {"gvim", "Gvim", "Notepad", true},
        {"emacs", "Emacs", "Notepad", true},
        {"kontact", "kontact", "rctrl_renwnd32", true},
        {"calligrasheets", "calligrasheets", "XLMAIN", true},
        {"calligrawords", "calligrawords", "OpusApp", true},
        {"kexi", "kexi", "OMain", true},
        {"dillo", "Dillo", "IEFrame", true},
        {"Navigator", "SomethingElse", "IEFrame", true},  // the instance alone says it
        {"mousepad (x)", "Other", "Notepad", false},      // an instance matches exactly
        {"libreoffice", "libreoffice-calc", "XLMAIN", true},
        {"libreoffice", "libreoffice-calc", "OpusApp", false},
        {"libreoffice", "libreoffice-writer", "OpusApp", true},
        {"libreoffice", "libreoffice-base", "OMain", true},
        {"libreoffice", "LibreOffice 7.4", "XLMAIN", false},  // its start centre says no kind
        {"gnumeric", "Gnumeric", "XLMAIN", true},
        {"Mail", "thunderbird-default", "rctrl_renwnd32", true},
        {"kmail", "kmail2", "Outlook Express Browser Class", true},
        {"mousepad", "Mousepad", "Notepad", true},
        {"kwrite", "kwrite", "Notepad", true},
        {"mousepad", "Mousepad", "IEFrame", false},
        {"org.gnome.Nautilus", "org.gnome.Nautilus", "CabinetWClass", true},
        {"xterm", "XTerm", "Notepad", false},
        {"x", "IEFrame", "IEFrame", true},                // the listed class itself
        {"x", "LedgrinProbe", "LedgrinProbe", true},      // a class the table does not know: itself only
        {"ledgrinprobe", "LedgrinProbe", "ledgrinprobe", true},
        {"x", "ledgrinprobe", "LedgrinProbe", false},     // exact case
    };
    for (const Case& c : cases) {
        WindowRegistry r;
        r.assign({{1, c.window_class, "t", c.instance}});
        EXPECT_EQ(r.find(c.listed_class, std::nullopt) == 1, c.matches) << c.window_class << " as " << c.listed_class;
    }
}

TEST(ProgramKinds, AFolderWindowShowsTheFolderOrItWithItsOwnManagersSuffix) {
    struct Case {
        const char *instance, *title;
        bool matches;
    } cases[] = {
        {"thunar", "bramwick - Thunar", true},      {"thunar", "bramwick", true},
        {"thunar", "bramwick2 - Thunar", false},    {"thunar", "bramwick — Dolphin", false},
        {"dolphin", "bramwick — Dolphin", true},    {"dolphin", "bramwick - Thunar", false},
        {"caja", "bramwick", true},                 {"caja", "bramwick2", false},
        {"nemo", "bramwick - Thunar", false},       {"CabinetWClass", "bramwick", true},
        {"CabinetWClass", "bramwick - Thunar", false}, {"thunar", " - Thunar", false},
        // A whole path that ends in the folder, after the program's own words where it has some.
        {"xfe", "Xfe - /home/u/bramwick", true},    {"xfe", "Xfe - /bramwick", true},
        {"xfe", "Xfe - /home/u/bramwick2", false},  {"xfe", "Xfe - /home/u/xbramwick", false},
        {"xfe", "/home/u/bramwick", false},         {"xfe", "Xfe - home/bramwick", false},
        {"spacefm", "/home/u/bramwick", true},      {"spacefm", "/home/u/bramwick/x", false},
        {"thunar", "/home/u/bramwick - Thunar", false},  // Thunar shows names only
        {"krusader", "Krusader", false},
    };
    for (const Case& c : cases) {
        WindowRegistry r;
        r.assign({{1, c.instance, c.title, c.instance}});  // its class as its instance
        EXPECT_EQ(r.find("CabinetWClass", std::string("bramwick")) == 1, c.matches) << c.title;
    }
}

TEST(WindowRegistry, OwnWindowsAndDialogsNeverMatchAndTheTopWindowComesFirst) {
    WindowRegistry r;
    r.assign({{5, "Gedit", "ours", "gedit", true, true},
              {6, "Gedit", "Save?", "gedit", true, false, 7},
              {7, "Gedit", "a.txt", "gedit"},
              {8, "Pluma", "b.txt", "pluma"}});
    EXPECT_EQ(r.find("Notepad", std::nullopt), 7u);
}

TEST(WindowRegistry, AWindowTransientForTheRootOrAWindowOfNoClientIsAMainWindow) {
    // 0x100: the root; 0x200: a group leader, never shown, so not among the windows.
    WindowRegistry r;
    r.assign({{5, "Gedit", "Save?", "gedit", true, false, 7},
              {6, "Geany", "untitled - Geany", "geany", true, false, 0x200},
              {7, "Gedit", "a.txt", "gedit", true, false, 0x100}});
    EXPECT_EQ(r.find("Notepad", std::nullopt), 6u);
    r.assign({{5, "Gedit", "Save?", "gedit", true, false, 7}, {7, "Gedit", "a.txt", "gedit", true, false, 0x100}});
    EXPECT_EQ(r.find("Notepad", std::nullopt), 7u);  // its own dialog stays one
    r.assign({{5, "Gedit", "self", "gedit", true, false, 5}});
    EXPECT_EQ(r.find("Notepad", std::nullopt), 5u);
}

TEST(WindowRegistry, OnlyAWindowOnAnotherWorkspaceThanTheOneShownIsElsewhere) {
    struct Case {
        uint32_t window, shown;
        bool elsewhere;
    } cases[] = {
        {1, 0, true},
        {0, 0, false},
        {platform::kEveryWorkspace, 1, false},  // sticky
        {1, platform::kEveryWorkspace, false},  // no workspaces kept
    };
    for (const Case& c : cases) {
        WindowRegistry r;
        ClientWindow w{3, "Geany", "a", "geany"};
        w.workspace = c.window;
        r.assign({w}, c.shown);
        EXPECT_EQ(r.on_other_workspace(3), c.elsewhere) << c.window << " " << c.shown;
        EXPECT_EQ(r.find("Notepad", std::nullopt), 3u);  // found all the same
    }
    EXPECT_FALSE(WindowRegistry{}.on_other_workspace(3));
}

TEST(WindowRegistry, AWindowIsAskedAtMostOnceIn200MsAcrossAWrapOfTheClock) {
    WindowRegistry r;
    r.assign({{1, "Mousepad", "a", "mousepad"}, {2, "Mousepad", "b", "mousepad"}});
    const uint32_t t0 = 0xFFFFFF00u;  // the clock wraps in 256 ms
    ASSERT_EQ(r.find_to_close("Notepad", std::nullopt, t0), 1u);
    r.asked(1, t0);
    EXPECT_EQ(r.find_to_close("Notepad", std::nullopt, t0 + 10), 2u);  // the next one's turn
    r.asked(2, t0 + 10);
    EXPECT_EQ(r.find_to_close("Notepad", std::nullopt, t0 + 199), 0u);
    EXPECT_EQ(r.find_to_close("Notepad", std::nullopt, t0 + 200), 1u);
    // A window that went takes its rhythm along: its id, given to a new window, is free.
    r.assign({{2, "Mousepad", "b", "mousepad"}});
    r.assign({{1, "Mousepad", "new", "mousepad"}, {2, "Mousepad", "b", "mousepad"}});
    EXPECT_TRUE(r.may_ask(1, t0 + 20));
    EXPECT_FALSE(r.may_ask(2, t0 + 20));
    EXPECT_FALSE(r.may_ask(99, t0 + 20));  // unknown
}

TEST(WindowRegistry, AQuestionThatCameUpAfterTheRequestHoldsTheNextOneBack) {
    WindowRegistry r;
    r.assign({{1, "Mousepad", "a", "mousepad"}, {3, "Mousepad", "Preferences", "mousepad", true, false, 1, 50}});
    r.asked(1, 100);
    // A dialog that was open before the request does not: the Esc before the request is
    // there to close it.
    EXPECT_TRUE(r.may_ask(1, 300));
    r.assign({{1, "Mousepad", "a", "mousepad"},
              {3, "Mousepad", "Preferences", "mousepad", true, false, 1, 50},
              {4, "Mousepad", "Save changes?", "mousepad", true, false, 1, 110}});
    EXPECT_FALSE(r.may_ask(1, 300));
    EXPECT_FALSE(r.may_ask(1, 100 + WindowRegistry::kHeldBackMs - 1));
    // A box the program leaves open holds it back two seconds at most.
    EXPECT_TRUE(r.may_ask(1, 100 + WindowRegistry::kHeldBackMs));
    r.asked(1, 2100);
    // It answers with another box: two seconds from that request on.
    r.assign({{1, "Mousepad", "a", "mousepad"},
              {5, "Mousepad", "Save changes?", "mousepad", true, false, 1, 2150}});
    EXPECT_FALSE(r.may_ask(1, 4099));
    EXPECT_TRUE(r.may_ask(1, 4100));
    r.assign({{1, "Mousepad", "a", "mousepad"}});  // answered "cancel"
    EXPECT_TRUE(r.may_ask(1, 2400));
}

}  // namespace
