// The main window: its loads, its geometry, its stages, the print button and the watchdog.
#include <gtest/gtest.h>

#include <QPointer>
#include <sys/stat.h>

#include <fstream>

#include "main_window/install.h"
#include "main_window_fixture.h"

namespace {

using namespace main_window;
using mw_test::soon;

const char* const kReason = "データファイルの取得に失敗しました。インターネット環境の確認をお願いいたします。";
const char* const kDesignCaption = "OrvaneBramwick　模擬システム";
const char* const kLoadedCaption = "OrvaneLedgrin　試験システム ≪体験プログラム≫";

class FrmMainTest : public mw_test::MainWindowTest {
public:
    void touch(const std::string& path, const std::string& text = "x") { std::ofstream(path) << text; }
    bool exists(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }
};

// ---------------------------------------------------------------------------------------
// First load and its failure path

TEST_F(FrmMainTest, FirstLoadReadsSixPagesInIdOrderAndShowsTheNotice) {
    // Written out of order: the pages go by id, not by row order.
    write_pages({{6, "p6"}, {2, "<p>notice</p>"}, {4, "p4"}, {1, "p1"}, {5, "p5 30分間"}, {3, "<form>reg</form>"}});
    auto& f = main_form().get();
    const auto& s = common::state();
    EXPECT_EQ(s.screen_html[1], "p1");
    EXPECT_EQ(s.screen_html[2], "<p>notice</p>");
    EXPECT_EQ(s.screen_html[3], "<form>reg</form>");
    EXPECT_EQ(s.screen_html[4], "p4");
    EXPECT_EQ(s.screen_html[5], "p5 30分間");
    EXPECT_EQ(s.screen_html[6], "p6");
    EXPECT_EQ(pane().calls, (std::vector<std::string>{"navigate about:blank", "write"}));
    EXPECT_EQ(pane().document, "<p>notice</p>");
    EXPECT_EQ(pane().data_folder, s.data_path);
    EXPECT_EQ(common::caption_of(f.Command1), "了解");
    EXPECT_EQ(f.caption(), kLoadedCaption);
    EXPECT_TRUE(s.main_loaded);
    EXPECT_TRUE(s.rehearsal_mode);
    EXPECT_EQ(s.test_name, "OrvaneLedgrin");
    EXPECT_EQ(s.test_center, "Orvane");
    EXPECT_EQ(common::main_values().test_start_time, "2024/04/01 10:00");
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_EQ(f.Timer1->Interval(), 10);
    EXPECT_FALSE(f.cmdPrint->isVisibleTo(&f));
    EXPECT_FALSE(f.lblWaitMsg->isVisibleTo(&f));
}

TEST_F(FrmMainTest, ANullPageIsEmptyText) {
    auto rows = mw_test::six_pages();
    rows[1].second = std::nullopt;  // the notice page
    write_pages(rows);
    auto& f = main_form().get();
    EXPECT_EQ(common::state().screen_html[2], "");
    EXPECT_EQ(pane().document, "");
    EXPECT_EQ(common::caption_of(f.Command1), "了解");
}

// What the failure dialog shows, and what each of its buttons leaves behind.
TEST_F(FrmMainTest, UnreadablePageDatabaseTakesTheFailurePath) {
    struct Case {
        const char* name;
        std::function<void(FrmMainTest&)> prepare;
    };
    const std::vector<Case> cases{
        {"missing file", [](FrmMainTest&) {}},
        {"wrong password", [](FrmMainTest& t) { t.write_pages(mw_test::six_pages(), "not-the-password"); }},
        {"empty table", [](FrmMainTest& t) { t.write_pages({}); }},
        {"five rows", [](FrmMainTest& t) {
             auto rows = mw_test::six_pages();
             rows.pop_back();
             t.write_pages(rows);
         }},
        {"not a database", [](FrmMainTest& t) { t.touch(t.page_db(), "plain text, no database"); }},
    };
    for (const auto& c : cases) {
        for (bool abort : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (abort ? ", 中断" : ", やり直し"));
            common::reset_state();
            SetUp();
            ::unlink(page_db().c_str());
            c.prepare(*this);

            std::string reason, heading;
            bool shown_modal = false;
            soon([&] {
                frmShipai* d = shipai_dialog().peek();
                ASSERT_NE(d, nullptr);
                shown_modal = d->isVisible() && d->isModal();
                reason = common::text_of(d->Label2);
                heading = common::text_of(d->Label1);
                (abort ? d->OKButton : d->CancelButton)->click();
            });
            common::windows() = {};
            main_window::install();
            common::windows().show_main_window();

            EXPECT_TRUE(shown_modal);
            EXPECT_EQ(reason, kReason);
            EXPECT_EQ(heading, "次の理由により、認証されませんでした。");
            EXPECT_FALSE(common::state().main_loaded);
            EXPECT_TRUE(common::state().screen_html[2].empty());
            EXPECT_FALSE(shipai_dialog().loaded());
            if (abort) {
                EXPECT_FALSE(main_form().loaded());
                EXPECT_EQ(common::FormSlot::loaded_count(), 0);
                EXPECT_EQ(last_unloaded_, 1);
            } else {
                ASSERT_TRUE(main_form().loaded());
                auto& f = *main_form().peek();
                EXPECT_TRUE(f.isVisible());
                EXPECT_EQ(f.caption(), kDesignCaption);
                EXPECT_EQ(common::caption_of(f.Command1), "ログイン");
                // No page went in ("やり直し" itself only touches the sign-in fields).
                EXPECT_EQ(pane().calls, (std::vector<std::string>{"set ExamID=", "set ExamPass=", "focus ExamID"}));
                // The design caption starts no stage.
                f.Command1_Click();
                EXPECT_EQ(pane().calls.size(), 3u);
                EXPECT_EQ(common::caption_of(f.Command1), "ログイン");
            }
            TearDown();
        }
    }
}

// "中断" unloads the main window while its load still waits for the dialog: the window
// must stay alive until that load has returned, whatever the nested loop does meanwhile.
TEST_F(FrmMainTest, AbortDuringTheLoadDestroysTheWindowOnlyAfterTheLoad) {
    QPointer<frmMain> during;
    bool alive_after_deferred_deletes = false;
    soon([&] {
        during = main_form().peek();
        shipai_dialog().peek()->OKButton->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        alive_after_deferred_deletes = !during.isNull();
    });
    frmMain& f = main_form().get();
    EXPECT_TRUE(alive_after_deferred_deletes);
    EXPECT_FALSE(during.isNull());
    EXPECT_TRUE(f.is_unloaded());
    EXPECT_FALSE(main_form().loaded());
    common::flush_unloads();
    EXPECT_TRUE(during.isNull());
}

// A browser that fails while the notice page goes in costs the page, not the program.
TEST_F(FrmMainTest, BrowserFailureDuringTheFirstLoadDoesNotEndIt) {
    class FailingPane : public fakes::FakeBrowserPane {
    public:
        using FakeBrowserPane::FakeBrowserPane;
        void navigate(const std::string&) override { throw platform::Error("renderer gone"); }
        void write_document(const std::string&) override { throw platform::Error("renderer gone"); }
    };
    class FailingFactory : public platform::BrowserFactory {
    public:
        std::unique_ptr<platform::BrowserPane> create(QWidget* parent, const std::string& folder) override {
            return std::make_unique<FailingPane>(folder, parent);
        }
    };
    fp_.platform.browsers = std::make_unique<FailingFactory>();
    write_pages(mw_test::six_pages());
    frmMain* f = nullptr;
    ASSERT_NO_THROW(f = &main_form().get());
    EXPECT_EQ(common::caption_of(f->Command1), "了解");
    EXPECT_EQ(f->caption(), kLoadedCaption);
    EXPECT_TRUE(common::state().main_loaded);
    EXPECT_EQ(common::state().screen_html[3], "<p>page 3</p>");
}

TEST_F(FrmMainTest, ReloadAfterAnUnloadKeepsTheValuesAndReadsNothing) {
    load_main();
    EXPECT_EQ(engine_->opens, 1);
    auto& v = common::main_values();
    v.strKanjiName = "山田 太郎";
    v.printed_flag = true;
    const std::string start = v.test_start_time;
    main_form().unload();
    common::flush_unloads();
    fp_.clock->advance(45 * 60 * 1000);
    ::unlink(page_db().c_str());

    auto& f = main_form().get();
    EXPECT_EQ(engine_->opens, 1);
    EXPECT_EQ(v.strKanjiName, "山田 太郎");
    EXPECT_EQ(v.test_start_time, start);
    EXPECT_TRUE(v.printed_flag);
    EXPECT_EQ(common::state().screen_html[6], "<p>page 6</p>");
    // Design state again, with the loaded caption and the geometry of the work area.
    EXPECT_EQ(common::caption_of(f.Command1), "ログイン");
    EXPECT_EQ(f.caption(), kLoadedCaption);
    EXPECT_TRUE(pane().calls.empty());
    EXPECT_FALSE(f.cmdPrint->isVisibleTo(&f));
    EXPECT_TRUE(f.Timer1->Enabled());
    EXPECT_DOUBLE_EQ(f.Height(), 1040 * 15);
    EXPECT_FALSE(shipai_dialog().loaded());
}

// ---------------------------------------------------------------------------------------
// Geometry

TEST_F(FrmMainTest, GeometryFollowsTheWorkArea) {
    struct Case {
        const char* name;
        bool known;
        platform::Rect area;
        double height, width;  // twips
    } cases[] = {
        {"1920x1040", true, {0, 0, 1920, 1040}, 15600, 1920 * 15 / 2.3},
        {"offset work area", true, {100, 40, 2020, 1080}, 15600, 1920 * 15 / 2.3},
        {"all zero", true, {0, 0, 0, 0}, 0, 0},
        {"unknown", false, {0, 0, 1920, 1040}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fp_.screen->area_known = c.known;
        fp_.screen->area = c.area;
        auto& f = load_main();
        EXPECT_DOUBLE_EQ(f.Height(), c.height);
        EXPECT_DOUBLE_EQ(f.Width(), c.width);
        EXPECT_DOUBLE_EQ(f.Left(), -30);
        EXPECT_DOUBLE_EQ(f.Top(), 0);
        f.Form_Resize();
        EXPECT_EQ(f.Command1->y(), common::twips_to_px(c.height - 1320));
        EXPECT_EQ(f.Command1->x(), common::twips_to_px(c.width - 2600));
        EXPECT_EQ(f.cmdPrint->pos(), QPoint(common::twips_to_px(160), common::twips_to_px(c.height - 1320)));
        EXPECT_EQ(f.lblWaitMsg->pos(), QPoint(common::twips_to_px(160), common::twips_to_px(c.height - 1220)));
        EXPECT_EQ(f.dummy->y(), common::twips_to_px(-2000));
        EXPECT_EQ(pane().left(), 1);
        EXPECT_EQ(pane().top(), 2);
        if (c.height > 0) EXPECT_EQ(pane().height(), common::twips_to_px(c.height - 1500));
        else EXPECT_GE(pane().height(), 0);  // a negative height is refused, not applied
        main_form().unload();
        common::flush_unloads();
        common::reset_state();
        SetUp();
    }
}

TEST_F(FrmMainTest, At1920x1040TheWindowIs835PixelsWide) {
    auto& f = load_main();
    EXPECT_EQ(common::twips_to_px(f.Width()), 835);
    EXPECT_EQ(common::twips_to_px(f.Height()), 1040);
    EXPECT_EQ(f.pos(), QPoint(-2, 0));
    f.Form_Resize();
    EXPECT_EQ(f.Command1->geometry(), QRect(661, 952, 153, 45));
    EXPECT_EQ(pane().width(), f.width());
}

// The controls are placed from the outer height but stand in the client area: under a frame
// taller than the design's they come up just far enough to lie wholly inside it, the page
// ending above them; under a frame that leaves room they stand where the design puts them.
TEST_F(FrmMainTest, ControlsStayInsideTheClientAreaUnderAnyFrame) {
    struct Case {
        const char* name;
        platform::FrameExtents frame;
        bool as_designed;  // the frame leaves room for every control where the design has it
    } cases[] = {
        {"no frame", {0, 0, 0, 0}, true},
        {"openbox", {1, 21, 1, 5}, true},
        {"xfwm4", {4, 29, 4, 4}, true},
        {"metacity", {5, 42, 5, 5}, false},
        {"a very tall title bar", {3, 140, 3, 3}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fp_.screen->area = {0, 0, 1024, 768};
        fp_.desktop->frame = c.frame;
        auto& f = load_main();
        f.set_print_button_visible(true);
        f.lblWaitMsg->show();
        f.show();
        QCoreApplication::processEvents();
        ASSERT_EQ(f.height(), 768 - c.frame.top - c.frame.bottom);
        f.Form_Resize();
        const QRect client = f.rect();
        const int table_top = common::twips_to_px(f.Height() - 1320);
        for (QWidget* w : {static_cast<QWidget*>(f.Command1), static_cast<QWidget*>(f.cmdPrint),
                           static_cast<QWidget*>(f.lblWaitMsg)}) {
            SCOPED_TRACE(w->objectName().toStdString() + " " + std::to_string(w->y()));
            EXPECT_TRUE(client.contains(w->geometry())) << w->geometry().bottom() << " > " << client.bottom();
            EXPECT_LE(pane().top() + pane().height(), w->y()) << "the page runs under it";
        }
        EXPECT_FALSE(f.Command1->geometry().intersects(f.cmdPrint->geometry()));
        EXPECT_FALSE(f.Command1->geometry().intersects(f.lblWaitMsg->geometry()));
        if (c.as_designed) {
            EXPECT_EQ(f.Command1->pos(), QPoint(common::twips_to_px(f.Width() - 2600), table_top));
            EXPECT_EQ(f.cmdPrint->pos(), QPoint(common::twips_to_px(160), table_top));
            EXPECT_EQ(f.lblWaitMsg->pos(), QPoint(common::twips_to_px(160), common::twips_to_px(f.Height() - 1220)));
            EXPECT_EQ(pane().height(), common::twips_to_px(f.Height() - 1500));
        } else {
            // Just far enough: its lower edge on the client area's.
            EXPECT_EQ(f.Command1->geometry().bottom(), client.bottom());
            EXPECT_LT(f.Command1->y(), table_top);
        }
        main_form().unload();
        common::flush_unloads();
        common::reset_state();
        SetUp();
    }
}

TEST_F(FrmMainTest, ActivationPutsTheFocusOnTheHiddenButton) {
    auto& f = load_main();
    f.Command1->setFocus();
    f.Form_Activate();
    EXPECT_EQ(f.focusWidget(), f.dummy);
}

// ---------------------------------------------------------------------------------------
// Stages

TEST_F(FrmMainTest, NoticeStageShowsTheRegistrationForm) {
    auto& f = load_main();
    pane().calls.clear();
    f.Command1_Click();
    EXPECT_EQ(pane().calls,
              (std::vector<std::string>{"navigate about:blank", "refresh", "write", "focus KanjiFamilyName"}));
    EXPECT_EQ(pane().document, "<p>page 3</p>");
    EXPECT_EQ(common::caption_of(f.Command1), "登録");
    EXPECT_EQ(pane().reads, 0);  // the registration did not run on after it
    EXPECT_FALSE(entry_miss_dialog().loaded());
}

TEST_F(FrmMainTest, CaptionsThatNameNoStageDoNothing) {
    auto& f = load_main();
    for (const char* caption : {"ログイン", "", "了解 ", "試験", "Command1"}) {
        SCOPED_TRACE(caption);
        pane().calls.clear();
        common::set_caption(f.Command1, caption);
        f.Command1_Click();
        EXPECT_TRUE(pane().calls.empty());
        EXPECT_EQ(common::caption_of(f.Command1), caption);
        EXPECT_TRUE(main_form().loaded());
        EXPECT_TRUE(fp_.message_box->shown.empty());
        EXPECT_EQ(fp_.process->ends, 0);
    }
}

// Clicks that arrive while a stage runs (dispatched by its own do_events) are dropped.
TEST_F(FrmMainTest, ClicksDuringAStageAreDropped) {
    auto& f = load_main();
    pane().calls.clear();
    for (int i = 0; i < 3; ++i) QMetaObject::invokeMethod(f.Command1, "click", Qt::QueuedConnection);
    f.Command1_Click();
    QCoreApplication::processEvents();  // anything still queued runs now, after the stage
    EXPECT_EQ(std::count(pane().calls.begin(), pane().calls.end(), "navigate about:blank"), 1);
    EXPECT_EQ(std::count(pane().calls.begin(), pane().calls.end(), "write"), 1);
    EXPECT_EQ(common::caption_of(f.Command1), "登録");
}

class FakeExamWindow : public common::ExamWindowApi {
public:
    void show_modeless() override {
        ++shows;
        if (on_show) on_show();
    }
    platform::BrowserPane& question_pane(int n) override { return panes.at(n - 1); }
    bool unloaded() const override { return false; }

    std::array<fakes::FakeBrowserPane, 3> panes;
    int shows = 0;
    std::function<void()> on_show;
};

TEST_F(FrmMainTest, StartStageOpensTheExaminationWindowAndUnloadsItself) {
    auto& f = load_main();
    common::main_values().strKanjiName = "山田 太郎";
    common::state().exam_ended = true;
    FakeExamWindow exam;
    for (auto& p : exam.panes) p.set_geometry(500, 40, 800, 600);
    common::windows().exam_window = [&]() -> common::ExamWindowApi& { return exam; };

    fp_.clock->step_per_read = 7;
    const uint32_t start_tick = fp_.clock->tick;
    bool watchdog_stopped = false, ended_cleared = false, waited = false, label_shown = false;
    exam.on_show = [&] {
        watchdog_stopped = !f.Timer1->Enabled();
        ended_cleared = !common::state().exam_ended;
        waited = fp_.clock->tick - start_tick > 3000;
        label_shown = f.lblWaitMsg->isVisibleTo(&f);
    };
    QPointer<frmMain> window = &f;
    common::set_caption(f.Command1, "試験開始");
    f.Command1_Click();

    EXPECT_EQ(exam.shows, 1);
    EXPECT_TRUE(watchdog_stopped);
    EXPECT_TRUE(ended_cleared);
    EXPECT_TRUE(waited);
    EXPECT_TRUE(label_shown);
    EXPECT_TRUE(exam.panes[0].calls.empty());
    EXPECT_EQ(exam.panes[0].left(), 500);
    const std::string data = common::state().data_path;
    for (int n : {2, 3}) {
        SCOPED_TRACE(n);
        auto& p = exam.panes[n - 1];
        EXPECT_EQ(p.calls, (std::vector<std::string>{"navigate " + data + "index" + std::to_string(n) + ".html"}));
        EXPECT_EQ(p.left(), 0);
        EXPECT_EQ(p.top(), 40);
        EXPECT_EQ(p.width(), 800);
        EXPECT_FALSE(p.visible());
    }
    EXPECT_FALSE(f.lblWaitMsg->isVisibleTo(&f));
    EXPECT_FALSE(main_form().loaded());
    EXPECT_EQ(common::main_values().strKanjiName, "山田 太郎");
    common::flush_unloads();
    EXPECT_TRUE(window.isNull());
}

TEST_F(FrmMainTest, WaitTicksSurvivesAWrapOfTheTickCount) {
    auto& f = load_main();
    FakeExamWindow exam;
    common::windows().exam_window = [&]() -> common::ExamWindowApi& { return exam; };
    fp_.clock->tick = 0xFFFFFFFFu - 1000;
    fp_.clock->step_per_read = 10;
    common::set_caption(f.Command1, "試験開始");
    f.Command1_Click();
    EXPECT_EQ(exam.shows, 1);
    const uint32_t waited = fp_.clock->tick - (0xFFFFFFFFu - 1000);
    EXPECT_GT(waited, 3000u);
    EXPECT_LT(waited, 3100u);
}

// The last stage: the question, the clean-up and the end.
class LastStageTest : public FrmMainTest {
protected:
    void SetUp() override {
        FrmMainTest::SetUp();
        const auto& s = common::state();
        ::mkdir(s.scratch_path.c_str(), 0755);
        ::mkdir(s.result_path.c_str(), 0755);
    }

    void fill_folders() {
        const auto& s = common::state();
        for (const char* name : {"a.txt", "noext", "b.tmp.html", ".hidden"}) touch(s.scratch_path + name);
        touch(s.scratch_path + "readonly.txt");
        ::chmod((s.scratch_path + "readonly.txt").c_str(), 0444);
        for (const char* name : {"index.html", "index2.html", "index3.html"}) touch(s.data_path + name);
        for (const char* name : {"pass.gif", "sample.png", "other.html", "index.htm"}) touch(s.data_path + name);
        touch(s.result_path + "result.txt");
    }

    frmMain& at_last_stage() {
        auto& f = load_main();
        common::set_caption(f.Command1, "試験終了");
        f.set_print_button_visible(true);
        return f;
    }

    void expect_cleaned() {
        const auto& s = common::state();
        for (const char* name : {"a.txt", "noext", "b.tmp.html", ".hidden"}) EXPECT_FALSE(exists(s.scratch_path + name)) << name;
        EXPECT_TRUE(exists(s.scratch_path + "readonly.txt"));
        for (const char* name : {"index.html", "index2.html", "index3.html"}) EXPECT_FALSE(exists(s.data_path + name)) << name;
        for (const char* name : {"pass.gif", "sample.png", "other.html", "index.htm", "qfile.dat"})
            EXPECT_TRUE(exists(s.data_path + name)) << name;
        EXPECT_TRUE(exists(s.result_path + "result.txt"));
    }
};

TEST_F(LastStageTest, AfterPrintingItCleansUpAndEndsWithoutAQuestion) {
    auto& f = at_last_stage();
    fill_folders();
    common::main_values().printed_flag = true;
    EXPECT_THROW(f.Command1_Click(), fakes::ProgramEnded);
    EXPECT_TRUE(fp_.message_box->shown.empty());
    expect_cleaned();
    EXPECT_FALSE(main_form().loaded());
    EXPECT_EQ(fp_.process->ends, 1);
}

TEST_F(LastStageTest, WithoutPrintingYesCleansUpAndEnds) {
    auto& f = at_last_stage();
    fill_folders();
    fp_.message_box->answers = {platform::MbResult::Yes};
    EXPECT_THROW(f.Command1_Click(), fakes::ProgramEnded);
    ASSERT_EQ(fp_.message_box->shown.size(), 1u);
    const auto& box = fp_.message_box->shown[0];
    EXPECT_EQ(box.title, "終了確認");
    EXPECT_EQ(box.text, "まだ試験結果が印刷されていませんが\r\n終了してよろしいですか。\r\n\r\n終了すると試験結果は印刷できません。");
    EXPECT_EQ(box.buttons, platform::MbButtons::YesNo);
    EXPECT_EQ(box.default_button, platform::MbResult::No);
    EXPECT_EQ(box.icon, platform::MbIcon::Warning);
    expect_cleaned();
    EXPECT_EQ(fp_.process->ends, 1);
}

TEST_F(LastStageTest, WithoutPrintingNoChangesNothingAndALaterClickAsksAgain) {
    auto& f = at_last_stage();
    fill_folders();
    pane().write_document("<p>result</p>");
    pane().calls.clear();
    fp_.message_box->answers = {platform::MbResult::No, platform::MbResult::No};
    f.Command1_Click();
    f.Command1_Click();
    EXPECT_EQ(fp_.message_box->shown.size(), 2u);
    EXPECT_EQ(fp_.process->ends, 0);
    EXPECT_TRUE(main_form().loaded());
    EXPECT_EQ(common::caption_of(f.Command1), "試験終了");
    EXPECT_TRUE(f.cmdPrint->isVisibleTo(&f));
    EXPECT_TRUE(pane().calls.empty());
    EXPECT_EQ(pane().document, "<p>result</p>");
    const auto& s = common::state();
    for (const char* name : {"a.txt", "noext", ".hidden"}) EXPECT_TRUE(exists(s.scratch_path + name)) << name;
    for (const char* name : {"index.html", "index2.html", "index3.html"}) EXPECT_TRUE(exists(s.data_path + name)) << name;
}

TEST_F(LastStageTest, AMissingScratchFolderIsCreatedAgain) {
    auto& f = at_last_stage();
    const auto& s = common::state();
    ::rmdir(s.scratch_path.c_str());
    ASSERT_FALSE(exists(s.scratch_path));
    common::main_values().printed_flag = true;
    EXPECT_THROW(f.Command1_Click(), fakes::ProgramEnded);
    EXPECT_TRUE(fp_.files->folder_exists(s.scratch_path));
}

// A scratch folder that is a link elsewhere, or that others may write, is not emptied:
// what it points at or holds may be anybody's files.
TEST_F(LastStageTest, AScratchFolderThatIsNotOursIsNotEmptied) {
    const auto& s = common::state();
    const std::string elsewhere = fp_.root.folder("documents");
    touch(elsewhere + "thesis.txt");
    const std::string scratch = s.scratch_path.substr(0, s.scratch_path.size() - 1);
    struct Case {
        const char* name;
        std::function<std::string()> prepare;  // returns the file that must stay
    } cases[] = {
        {"link to another folder", [&] {
             ::rmdir(scratch.c_str());
             EXPECT_EQ(::symlink(elsewhere.c_str(), scratch.c_str()), 0);
             return elsewhere + "thesis.txt";
         }},
        {"writable by others", [&] {
             ::unlink(scratch.c_str());
             ::mkdir(scratch.c_str(), 0755);
             ::chmod(scratch.c_str(), 0777);
             touch(s.scratch_path + "someone_elses.txt");
             return s.scratch_path + "someone_elses.txt";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto& f = at_last_stage();
        const std::string kept = c.prepare();
        touch(s.data_path + "index2.html");
        common::main_values().printed_flag = true;
        EXPECT_THROW(f.Command1_Click(), fakes::ProgramEnded);
        EXPECT_TRUE(exists(kept));
        EXPECT_FALSE(exists(s.data_path + "index2.html"));  // the question pages still go
        common::flush_unloads();
        common::state().main_loaded = false;
    }
}

// Start-up holds the scratch folder; swapping it for a link to somebody's documents during
// the examination neither empties the documents nor keeps the scratch files.
TEST_F(LastStageTest, AScratchFolderSwappedForALinkAfterStartUpEmptiesOnlyTheFolderHeld) {
    auto& s = common::state();
    auto& f = at_last_stage();
    fill_folders();
    s.scratch_folder = fp_.files->hold_trusted_folder(s.scratch_path);
    ASSERT_TRUE(s.scratch_folder);
    const std::string scratch = s.scratch_path.substr(0, s.scratch_path.size() - 1);
    const std::string moved = fp_.root.file("moved") + "/";
    ASSERT_EQ(::rename(scratch.c_str(), fp_.root.file("moved").c_str()), 0);
    const std::string documents = fp_.root.folder("documents");
    for (const char* name : {"thesis.txt", "notes"}) touch(documents + name);
    ASSERT_EQ(::symlink(documents.c_str(), scratch.c_str()), 0);

    common::main_values().printed_flag = true;
    EXPECT_THROW(f.Command1_Click(), fakes::ProgramEnded);
    for (const char* name : {"thesis.txt", "notes"}) EXPECT_TRUE(exists(documents + name)) << name;
    for (const char* name : {"a.txt", "noext", "b.tmp.html", ".hidden"}) EXPECT_FALSE(exists(moved + name)) << name;
    EXPECT_TRUE(exists(moved + "readonly.txt"));
    EXPECT_FALSE(exists(s.data_path + "index2.html"));
}

// ---------------------------------------------------------------------------------------
// Print button

TEST_F(FrmMainTest, PrintMarksTheResultOnlyWhenItWasPrinted) {
    struct Case {
        platform::MbResult answer;
        platform::PrintResult result;
        bool printed_flag;
        int prints;
    } cases[] = {
        {platform::MbResult::Yes, platform::PrintResult::Printed, true, 1},
        {platform::MbResult::Yes, platform::PrintResult::Cancelled, false, 1},
        {platform::MbResult::Yes, platform::PrintResult::Failed, false, 1},
        {platform::MbResult::No, platform::PrintResult::Printed, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prints * 10 + static_cast<int>(c.result));
        common::reset_main_values();
        fp_.message_box->shown.clear();
        auto& f = load_main();
        f.set_print_button_visible(true);
        pane().print_result = c.result;
        bool disabled_while_asking = false;
        fp_.message_box->answers = {c.answer};
        fp_.message_box->during_box = [&](const platform::MessageBoxSpec&) { disabled_while_asking = !f.cmdPrint->isEnabled(); };
        f.cmdPrint_Click();
        fp_.message_box->during_box = nullptr;
        EXPECT_TRUE(disabled_while_asking);
        EXPECT_EQ(common::main_values().printed_flag, c.printed_flag);
        EXPECT_EQ(pane().prints, c.prints);
        EXPECT_TRUE(f.cmdPrint->isEnabled());
        ASSERT_EQ(fp_.message_box->shown.size(), 1u);
        const auto& box = fp_.message_box->shown[0];
        EXPECT_EQ(box.title, "結果印刷");
        EXPECT_EQ(box.text, "試験結果を印刷します。\r\n\r\nよろしいですか");
        EXPECT_EQ(box.buttons, platform::MbButtons::YesNo);
        EXPECT_EQ(box.default_button, platform::MbResult::No);
        EXPECT_EQ(box.icon, platform::MbIcon::Warning);
        main_form().unload();
        common::flush_unloads();
        common::state().main_loaded = false;
    }
}

// A cancelled print keeps the warning of the last stage.
TEST_F(LastStageTest, CancelledPrintStillAsksBeforeTheEnd) {
    auto& f = at_last_stage();
    pane().print_result = platform::PrintResult::Cancelled;
    fp_.message_box->answers = {platform::MbResult::Yes, platform::MbResult::No};
    f.cmdPrint_Click();
    f.Command1_Click();
    ASSERT_EQ(fp_.message_box->shown.size(), 2u);
    EXPECT_EQ(fp_.message_box->shown[1].title, "終了確認");
    EXPECT_EQ(fp_.process->ends, 0);
}

// ---------------------------------------------------------------------------------------
// Watchdog

TEST_F(FrmMainTest, WatchdogAsksTheListedWindowsToClose) {
    auto& f = load_main();
    fp_.desktop->windows = {{11, "IEFrame", "A"},         {12, "IEFrame", "B"},
                            {21, "CabinetWClass", "bramwick"}, {22, "CabinetWClass", "bramwick2"},
                            {23, "CabinetWClass", "OrvaneBramwick"}, {31, "XLMAIN", ""},
                            {41, "Notepad", "bramwick"},
                            // The Linux programs of each kind.
                            {51, "libreoffice-writer", "Untitled 1 - LibreOffice Writer", "libreoffice"},
                            {52, "libreoffice-base", "New Database - LibreOffice Base", "libreoffice"},
                            {53, "Evolution", "Mail - Evolution", "evolution"},
                            {54, "Claws-mail", "Claws Mail", "claws-mail"},
                            {55, "Nemo", "bramwick_result", "nemo"},
                            {56, "Mousepad", "bramwick - Mousepad", "mousepad"}};
    fp_.desktop->close_removes_window = true;
    fp_.desktop->calls.clear();
    f.Timer1->fire();
    const std::vector<std::string> first{
        "find IEFrame|*",        "close 11",
        "find XLMAIN|*",         "close 31",
        "find OpusApp|*",        "close 51",
        "find OMain|*",          "close 52",
        "find rctrl_renwnd32|*", "close 53",
        "find Outlook Express Browser Class|*", "close 54",
        "find CabinetWClass|OrvaneBramwick", "close 23",
        "find CabinetWClass|bramwick", "close 21",
        "find CabinetWClass|bramwick_result", "close 55"};
    EXPECT_EQ(fp_.desktop->calls, first);
    fp_.desktop->calls.clear();
    f.Timer1->fire();
    EXPECT_EQ(std::count(fp_.desktop->calls.begin(), fp_.desktop->calls.end(), "close 12"), 1);
    // bramwick2 and the text editors stay: this list has no text editor.
    EXPECT_EQ(fp_.desktop->windows.size(), 3u);
    fp_.desktop->calls.clear();
    f.Timer1->fire();
    EXPECT_EQ(fp_.desktop->calls.size(), 9u);  // nine looks, nothing to close
}

// ---------------------------------------------------------------------------------------
// What the end sequence uses

TEST_F(FrmMainTest, EndSequenceReloadsTheWindowAndShowsItTopmostAtTheOrigin) {
    load_main();
    main_form().unload();
    common::flush_unloads();
    main_window::install();
    common::MainWindowApi& api = common::windows().main_window();
    auto& f = *main_form().peek();
    EXPECT_EQ(&api.main_browser(), f.wbMain.get());
    api.set_stage_caption("試験終了");
    api.set_print_button_visible(true);
    f.move_twips(3000, 2000, f.Width(), f.Height());
    const double width = f.Width();
    api.show_topmost_at_origin();
    EXPECT_EQ(common::caption_of(f.Command1), "試験終了");
    EXPECT_TRUE(f.cmdPrint->isVisible());
    EXPECT_TRUE(f.isVisible());
    EXPECT_DOUBLE_EQ(f.Left(), 0);
    EXPECT_DOUBLE_EQ(f.Top(), 0);
    EXPECT_DOUBLE_EQ(f.Width(), width);
    EXPECT_TRUE(fp_.desktop->topmost[&f]);
    EXPECT_EQ(&common::windows().main_window(), &api);  // the same instance, not a new load
}

TEST_F(FrmMainTest, StartUpShowsTheLoadedWindow) {
    write_pages(mw_test::six_pages());
    main_window::install();
    common::windows().show_main_window();
    ASSERT_TRUE(main_form().loaded());
    EXPECT_TRUE(main_form().peek()->isVisible());
    EXPECT_EQ(common::caption_of(main_form().peek()->Command1), "了解");
}

}  // namespace
