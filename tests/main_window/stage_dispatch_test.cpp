// Which stage a click runs. The registration stage is replaced here by a recorder, so the
// test sees exactly when it is entered.
#include <gtest/gtest.h>

#include "main_window/registration.h"
#include "main_window_fixture.h"

namespace {
int g_registrations = 0;
std::function<void(main_window::frmMain&)> g_during_registration;
}  // namespace

namespace main_window {
void register_stage(frmMain& form) {
    ++g_registrations;
    if (g_during_registration) g_during_registration(form);
}
}  // namespace main_window

namespace {

using namespace main_window;

class StageDispatchTest : public mw_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        g_registrations = 0;
        g_during_registration = nullptr;
    }
};

TEST_F(StageDispatchTest, EachCaptionRunsItsOwnStageOnly) {
    struct Case {
        const char* caption;
        int registrations;
        const char* caption_after;
        size_t browser_calls;
    } cases[] = {
        {"了解", 0, "登録", 4},  // does not run on into the registration
        {"登録", 1, "登録", 0},
        {"ログイン", 0, "ログイン", 0},
        {"登録する", 0, "登録する", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        g_registrations = 0;
        auto& f = load_main();
        pane().calls.clear();
        common::set_caption(f.Command1, c.caption);
        f.Command1_Click();
        EXPECT_EQ(g_registrations, c.registrations);
        EXPECT_EQ(common::caption_of(f.Command1), c.caption_after);
        EXPECT_EQ(pane().calls.size(), c.browser_calls);
        main_form().unload();
        common::flush_unloads();
        common::state().main_loaded = false;
    }
}

TEST_F(StageDispatchTest, RegistrationGetsTheWindowAndASecondClickIsDropped) {
    auto& f = load_main();
    common::set_caption(f.Command1, "登録");
    frmMain* given = nullptr;
    g_during_registration = [&](frmMain& form) {
        given = &form;
        form.Command1->click();  // as a click dispatched by the stage's own events
        form.Command1_Click();
    };
    f.Command1_Click();
    EXPECT_EQ(given, &f);
    EXPECT_EQ(g_registrations, 1);
    // Once the stage has returned, the button works again.
    g_during_registration = nullptr;
    f.Command1_Click();
    EXPECT_EQ(g_registrations, 2);
}

// A failure inside the registration ends it; the window goes on.
TEST_F(StageDispatchTest, ARegistrationFailureIsContained) {
    auto& f = load_main();
    common::set_caption(f.Command1, "登録");
    g_during_registration = [](frmMain&) { throw platform::Error("server gone"); };
    EXPECT_NO_THROW(f.Command1_Click());
    EXPECT_EQ(common::caption_of(f.Command1), "登録");
    g_during_registration = nullptr;
    f.Command1_Click();
    EXPECT_EQ(g_registrations, 2);
}

}  // namespace
