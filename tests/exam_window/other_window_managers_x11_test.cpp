// The examination program's windows under the other stock window managers a candidate's
// desktop may run, each on a display of this test's own: the window-manager tests of what a
// window manager must not take from the candidate run there as they run under openbox (the
// controls inside the main window's client area, dialogs and the examination window shown
// again after a minimise or "show desktop", windows on every workspace). Metacity's title
// bar is taller than the main window's design leaves room for, so there the controls must
// come up into the client area. Both keep windows inside the screen, so the tests of exact
// outer geometry, written for openbox, are not among them.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/own_display.h"
#include "support/temp_dir.h"

namespace {

struct WindowManager {
    const char* name;
    std::vector<std::string> command;
    bool frame_taller_than_the_design;  // title bar and lower edge over the 43 px the design leaves
};

class OtherWindowManagers : public ::testing::TestWithParam<WindowManager> {};

TEST_P(OtherWindowManagers, WindowTestsPassThere) {
    const WindowManager& wm = GetParam();
    for (const char* needed : {"Xvfb", "dbus-run-session"})
        if (!fakes::on_path(needed)) GTEST_SKIP() << needed << " is not installed (scripts/setup-deps installs it)";
    if (!fakes::on_path(wm.command.front()))
        GTEST_SKIP() << wm.command.front() << " is not installed (scripts/setup-deps installs it)";

    fakes::TempDir dir("ledgrin-wm-");
    fakes::OwnDisplay display(1024, 768, wm.command, dir.file("display.log"));
    ASSERT_TRUE(display.ready()) << display.why() << "\n" << fakes::read_text_file(dir.file("display.log"));

    const std::vector<std::string> env = fakes::environment_with(
        {{"DISPLAY", display.display()}, {"HOME", dir.path()}, {"TMPDIR", dir.path()}});
    const fakes::Finished r = fakes::run_to_end(
        fakes::built_test("window_manager_x11_test"),
        {"--gtest_filter=*ControlsLieInside*:*Minimised*:*ShowDesktop*:*EveryWorkspace*"}, env,
        dir.file("output.txt"));
    EXPECT_EQ(r.status, 0) << r.output;

    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.output, m, std::regex(R"(main window title bar (\d+) px, lower edge (\d+) px)")))
        << r.output;
    const int frame = std::stoi(m[1]) + std::stoi(m[2]);
    std::printf("%s: main window frame %s + %s px\n", wm.name, m[1].str().c_str(), m[2].str().c_str());
    EXPECT_EQ(frame > 43, wm.frame_taller_than_the_design) << "frame " << frame << " px";
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, OtherWindowManagers,
    ::testing::Values(WindowManager{"metacity", {"metacity", "--no-composite", "--replace"}, true},
                      WindowManager{"xfwm4", {"xfwm4", "--compositor=off", "--replace"}, false}),
    [](const ::testing::TestParamInfo<WindowManager>& info) { return std::string(info.param.name); });

}  // namespace
