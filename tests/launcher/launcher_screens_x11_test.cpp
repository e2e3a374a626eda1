// The launcher's windows on a real display with the real web engine and fonts: the
// sign-in page delivers its two fields, and every text of the dialogs fits its control.
// Screenshots of the sign-in window, the confirmation and the failure dialog go to the
// build tree's test-shots folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>

#include "launcher_fixture.h"
#include "platform/backends.h"
#include "support/build_paths.h"
#include "support/screenshot.h"

namespace {

using launcher_test::LauncherTest;
namespace fs = std::filesystem;

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void screenshot(const std::string& name) {
    settle(700);
    EXPECT_TRUE(fakes::save_screenshot(name)) << name;
}

// Every label, frame title and button caption of a form can be read whole.
void expect_texts_fit(QWidget* form) {
    for (QLabel* l : form->findChildren<QLabel*>()) {
        if (l->text().isEmpty() || !l->isVisibleTo(form)) continue;
        const QFontMetrics fm(l->font());
        const QRect need = fm.boundingRect(QRect(0, 0, l->width(), 10000), Qt::TextWordWrap | l->alignment(), l->text());
        EXPECT_LE(need.height(), l->height()) << l->text().toStdString();
        EXPECT_LE(need.width(), l->width()) << l->text().toStdString();
    }
    for (QPushButton* b : form->findChildren<QPushButton*>()) {
        const QFontMetrics fm(b->font());
        EXPECT_LE(fm.horizontalAdvance(b->text()) + 8, b->width()) << b->text().toStdString();
        EXPECT_LE(fm.height(), b->height()) << b->text().toStdString();
    }
    for (QGroupBox* g : form->findChildren<QGroupBox*>()) {
        const QFontMetrics fm(g->font());
        EXPECT_LE(fm.horizontalAdvance(g->title()) + 16, g->width()) << g->title().toStdString();
    }
}

class Screens : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        fs::copy_file(fakes::source_dir() + "/data/index.html", fp.system->program + "data/index.html");
        common::install_fonts();
        fp.platform.screen = platform::make_qt_screen();
        fp.platform.browsers = platform::make_webengine_browsers();
    }
};

TEST_F(Screens, SignInPageConfirmationAndFailureOnARealDisplay) {
    // The sign-in window's own checks need a screen at 96 DPI.
    ASSERT_EQ(fp.platform.screen->twips_per_pixel_x(), 15.0);
    ASSERT_FALSE(run_main());
    auto& w = launcher::forms().main.get();
    settle(300);

    // The page written for the launcher has both fields, found by id and by name.
    auto fields = w.wbMain->read_fields({"ExamID", "ExamPass"});
    ASSERT_EQ(fields.size(), 2u);
    ASSERT_EQ(fields[0].elements.size(), 1u);
    ASSERT_EQ(fields[1].elements.size(), 1u);
    EXPECT_EQ(fields[1].elements[0].type, "password");
    ASSERT_TRUE(w.wbMain->set_field("ExamID", "ＡＢＣ１２３"));
    ASSERT_TRUE(w.wbMain->set_field("ExamPass", "pass1234"));
    expect_texts_fit(&w);
    screenshot("launcher.png");

    // A candidate's press on Enter in the page sends nothing anywhere: no form there.
    EXPECT_FALSE(w.wbMain->body_outer_html().find("<form") != std::string::npos);

    bool confirm_checked = false;
    before_answer = [&](common::Form* d) {
        if (d != launcher::forms().test_info.peek()) return;
        confirm_checked = true;
        expect_texts_fit(d);
        screenshot("launcher-confirm.png");
    };
    // The answerer of the fixture gives "続行" once the screenshot is taken.
    EXPECT_TRUE(click_sign_in());
    EXPECT_TRUE(confirm_checked);
    EXPECT_EQ(modal_seen, std::vector<std::string>{"confirm Ledgrin|2016/12/26 15:30"});
    EXPECT_EQ(fp.process->starts, std::vector<std::string>{fp.system->program + "data/ledgrin.dat"});

    // The failure dialog with its longest reasons.
    for (const char* reason : {launcher::kShipaiBuiltInReason, launcher::kReasonTooLong,
                               launcher::kReasonUnknownKind, launcher::kReasonNotStarted}) {
        auto& f = launcher::forms().shipai.get();
        common::set_text(f.Label2, reason);
        f.show_modeless_above_owner();
        settle(50);
        expect_texts_fit(&f);
        if (std::string(reason) == launcher::kShipaiBuiltInReason) screenshot("launcher-failure.png");
        f.Command1_Click();
        common::flush_unloads();
    }
}

}  // namespace
