// The result record under the faults an examination room meets, on the real backends: a
// server that trickles or sends without end, a program killed while an upload box is up, a
// full disk, a result folder swapped for a link, and two candidates on one machine whose
// uids have no account there. Some run this program again as a child in a role of its own
// (see main at the end).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "common/folders.h"
#include "common/forms.h"
#include "common/startup.h"
#include "common/state.h"
#include "common/windows.h"
#include "exam_window/end_sequence.h"
#include "exam_window/frm_kaikei.h"
#include "platform/backends.h"
#include "platform/codec.h"
#include "support/child_process.h"
#include "support/fake_platform.h"
#include "support/file_size_limit.h"
#include "support/local_server.h"
#include "support/test_process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using platform::MbResult;

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The main window as the end sequence hands the result page to it; nothing more.
class PlainMainWindow : public common::MainWindowApi {
public:
    platform::BrowserPane& main_browser() override { return pane; }
    void set_stage_caption(const std::string&) override {}
    void set_print_button_visible(bool) override {}
    void show_topmost_at_origin() override { shown = true; }
    fakes::FakeBrowserPane pane;
    bool shown = false;
};

// One examination's end on the given platform: program-wide values as the examination
// window finds them, and the end sequence on a window whose first page holds body.
class ExaminationEnd {
public:
    ExaminationEnd() : saved_(common::windows()) {
        common::windows().main_window = [this]() -> common::MainWindowApi& { return main; };
        common::reset_state();
        common::reset_main_values();
        auto& s = common::state();
        s.screen_html[6] = "<html><body>SelectPointA</body></html>";
        s.answer_key.assign(51, "");
        s.q4_group = 4;
        s.user_agent = "orvanepc";
        s.roma_family_name = "YAMADA";
        s.roma_given_name = "TARO";
    }
    ~ExaminationEnd() {
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        common::flush_unloads();
        QCoreApplication::processEvents();
        common::windows() = saved_;
        common::reset_state();
        common::reset_main_values();
    }
    ExaminationEnd(const ExaminationEnd&) = delete;
    ExaminationEnd& operator=(const ExaminationEnd&) = delete;

    // What the end button does, then the sequence.
    void end(const std::string& body) {
        exam_window::frmKaikei& f = exam_window::kaikei().get();
        static_cast<fakes::FakeBrowserPane&>(f.question_pane(1)).outer_html = body;
        f.Timer1->set_Enabled(false);
        f.block_unload = false;
        f.end_sequence_entered = true;
        exam_window::end_syori(f);
    }

    PlainMainWindow main;

private:
    common::WindowDirectory saved_;
};

class ResultUnderFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("no_proxy", "127.0.0.1", 1);
        ::setenv("NO_PROXY", "127.0.0.1", 1);
        result_folder = fp.root.folder("tmp/bramwick_result");
    }
    void hold_result_folder() {
        common::state().result_path = result_folder;
        common::state().result_folder = fp.files->hold_trusted_folder(result_folder);
        ASSERT_TRUE(common::state().result_folder);
    }
    std::vector<std::string> box_titles() const {
        std::vector<std::string> out;
        for (const auto& b : fp.message_box->shown) out.push_back(b.title);
        return out;
    }

    fakes::FakePlatform fp;
    std::string result_folder;
};

TEST_F(ResultUnderFaults, ATricklingOrEndlessServerGivesTheUploadBoxWithinTheDeadlineWithTheRecordWritten) {
    struct Case {
        const char* name;
        std::string chunk;
        std::chrono::milliseconds interval;
        double at_least;  // seconds before the box: only the deadline ends a trickle
    } cases[] = {
        {"a byte every 200 ms, never stalling", "x", std::chrono::milliseconds(200), 1.4},
        {"without end, as fast as it goes", std::string(64 * 1024, 'y'), std::chrono::milliseconds(0), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::StreamingServer server(c.chunk, c.interval);
        platform::CurlLimits limits;  // shipped size limit; a deadline short enough for a test
        limits.connect_timeout_ms = 2000;
        limits.stall_seconds = 2;
        limits.total_timeout_ms = 1500;
        fp.platform.http = platform::make_curl_http(limits);
        fp.message_box->shown.clear();
        ExaminationEnd exam;
        hold_result_folder();
        fs::remove(result_folder + "result.txt");
        common::state().result_url = server.url("/api/grade/result");

        std::string file_at_box = "(no box)";
        double seconds_to_box = -1;
        const auto start = Clock::now();
        fp.message_box->during_box = [&](const platform::MessageBoxSpec& box) {
            if (box.title != "送信失敗" || seconds_to_box >= 0) return;
            seconds_to_box = std::chrono::duration<double>(Clock::now() - start).count();
            file_at_box = read_bytes(result_folder + "result.txt");
        };
        // Failure, retry declined, stop confirmed, last notice.
        fp.message_box->answers = {MbResult::Ok, MbResult::Cancel, MbResult::Ok, MbResult::Ok};

        exam.end("<body>第１問の解答</body>");

        EXPECT_EQ(box_titles(), (std::vector<std::string>{"送信失敗", "送信リトライ", "送信中止", ""}));
        EXPECT_EQ(file_at_box, platform::cp932::encode("<body>第１問の解答</body>"));
        EXPECT_GE(seconds_to_box, c.at_least);
        EXPECT_LT(seconds_to_box, 60.0);
        EXPECT_TRUE(exam.main.shown);
    }
}

TEST_F(ResultUnderFaults, AFullDiskLeavesResultTxtByteForByteAsItWasAndTellsTheCandidate) {
    ExaminationEnd exam;
    hold_result_folder();
    common::state().rehearsal_mode = true;
    const std::string earlier = platform::cp932::encode("<body>前回の記録</body>");
    std::ofstream(result_folder + "result.txt", std::ios::binary) << earlier;
    fp.message_box->answers = {MbResult::Ok};
    {
        // Room for a part of the record, not for all of it.
        fakes::FileSizeLimit full(earlier.size() + 10);
        exam.end("<body>" + std::string(3000, 'a') + "</body>");
    }
    EXPECT_EQ(read_bytes(result_folder + "result.txt"), earlier);
    ASSERT_EQ(box_titles(), std::vector<std::string>{"保存失敗"});
    EXPECT_EQ(fp.message_box->shown[0].text, "試験結果をファイルに保存できませんでした。\r\n試験監督をお呼びください。");
    EXPECT_TRUE(exam.main.shown);
}

TEST_F(ResultUnderFaults, AResultFolderSwappedForALinkDuringTheExaminationIsNotWrittenThrough) {
    ExaminationEnd exam;
    // Start-up checks the folder and holds it.
    common::Main("");
    const std::string folder = common::state().result_path;
    ASSERT_EQ(folder, fp.system->temp + "bramwick_result/");
    // During the examination the folder is moved away and a link to another folder put in
    // its place, as another account could in a shared folder without the sticky bit.
    const std::string moved = fp.system->temp + "moved/";
    const std::string theirs = fp.root.folder("theirs");
    ASSERT_EQ(::rename(folder.c_str(), moved.c_str()), 0);
    ASSERT_EQ(::symlink(theirs.c_str(), (fp.system->temp + "bramwick_result").c_str()), 0);

    common::state().rehearsal_mode = true;
    exam.end("<body>本人の解答</body>");

    EXPECT_TRUE(fs::is_empty(theirs));
    EXPECT_EQ(read_bytes(moved + "result.txt"), platform::cp932::encode("<body>本人の解答</body>"));
    EXPECT_TRUE(fp.message_box->shown.empty());
}

// ------------------------------------------------------------------------------------------
// Whole processes.

std::string this_program() { return fs::read_symlink("/proc/self/exe").string(); }

// The variables a child needs to run here at all: the rest is the test's to choose.
std::vector<std::string> base_environment() {
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "no_proxy=127.0.0.1", "NO_PROXY=127.0.0.1"};
    if (const char* path = std::getenv("PATH")) env.push_back(std::string("PATH=") + path);
    return env;
}

TEST(ResultUnderFaultsProcess, AKillWhileAnUploadBoxIsShownLeavesTheRecordInResultTxt) {
    fakes::TempDir root;
    const std::string folder = root.folder("bramwick_result");
    auto env = base_environment();
    env.push_back("TMPDIR=" + root.folder("tmp"));  // whatever the child leaves goes with root
    fakes::Child child(this_program(), env, {"--child", "upload-box", root.path()});
    ASSERT_TRUE(child.started());

    const std::string signal_file = root.file("box-shown");
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (!fs::exists(signal_file) && Clock::now() < deadline && child.running())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const bool shown = fs::exists(signal_file);
    const std::string at_box = read_bytes(folder + "result.txt");
    if (child.running()) ::kill(child.pid(), SIGKILL);
    child.wait_exit(std::chrono::seconds(20));

    ASSERT_TRUE(shown) << "the upload box never came up";
    EXPECT_EQ(read_bytes(signal_file), "送信失敗");
    const std::string record = platform::cp932::encode("<body>強制終了の前</body>");
    EXPECT_EQ(at_box, record);
    EXPECT_EQ(read_bytes(folder + "result.txt"), record);
}

// Ids above 60000 that name no account and no group here, as a candidate's uid from a
// directory service the machine cannot reach.
std::vector<uid_t> ids_without_account(size_t count) {
    std::vector<uid_t> ids;
    for (uid_t id = 60001; id < 65000 && ids.size() < count; ++id)
        if (!::getpwuid(id) && !::getgrgid(id)) ids.push_back(id);
    return ids;
}

// Exit status of a child that could not get a /tmp of the test's own.
constexpr int kNoOwnTmp = 90;

// A child role run as another uid (setpriv) in a mount namespace of its own, where /tmp is
// the folder `own_tmp`: whatever it puts into /tmp (Qt makes its runtime folder there when
// $XDG_RUNTIME_DIR and $TMPDIR are unset) stays with the test.
class AsAnotherUid : public fakes::Spawned {
public:
    AsAnotherUid(uid_t uid, const std::string& own_tmp, const std::vector<std::string>& role,
                 const std::vector<std::string>& env) {
        std::vector<std::string> args = {"/usr/bin/setpriv", "--reuid=" + std::to_string(uid),
                                         "--regid=" + std::to_string(uid), "--clear-groups", "--", this_program()};
        args.insert(args.end(), role.begin(), role.end());
        std::vector<char*> argv = fakes::c_strings(args), envp = fakes::c_strings(env);
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount(own_tmp.c_str(), "/tmp", nullptr, MS_BIND, nullptr) != 0)
                ::_exit(kNoOwnTmp);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
};

struct Ownership {
    uid_t uid = 0;
    mode_t mode = 0;
};

Ownership ownership(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return {static_cast<uid_t>(-1), 0};
    return {st.st_uid, st.st_mode & 07777};
}

// The names in a folder, each followed by a blank.
std::string names_in(const std::string& folder) {
    std::string names;
    for (const auto& e : fs::directory_iterator(folder)) names += e.path().filename().string() + " ";
    return names;
}

TEST(ResultUnderFaultsProcess, TwoUidsWithoutAccountsSitExaminationsOneAfterTheOtherWithTmpdirUnset) {
    if (::geteuid() != 0) GTEST_SKIP() << "running as other uids needs root";
    const std::vector<uid_t> ids = ids_without_account(2);
    ASSERT_EQ(ids.size(), 2u) << "no two free ids above 60000";
    fakes::TempDir homes("ledgrin-accounts-");
    ASSERT_EQ(::chmod(homes.path().c_str(), 0755), 0);
    struct Candidate {
        uid_t uid;
        bool runtime_folder;  // one with $XDG_RUNTIME_DIR, one without
        std::string name;
        std::string home;
    } candidates[] = {{ids[0], true, "", ""}, {ids[1], false, "", ""}};

    std::string first_record;
    for (Candidate& c : candidates) {
        c.name = "uid" + std::to_string(c.uid);
        SCOPED_TRACE(c.name);
        c.home = homes.folder(c.name);
        const std::string tmp = homes.folder(c.name + "-tmp");
        for (const std::string& folder : {c.home, tmp}) ASSERT_EQ(::chown(folder.c_str(), c.uid, c.uid), 0);
        ASSERT_EQ(::chmod(tmp.c_str(), 01777), 0);  // as /tmp is
        auto env = base_environment();
        env.push_back("HOME=" + c.home.substr(0, c.home.size() - 1));  // as an account's, without the '/'
        if (c.runtime_folder) {
            const std::string run = c.home + "run";
            ASSERT_EQ(::mkdir(run.c_str(), 0700), 0);
            ASSERT_EQ(::chown(run.c_str(), c.uid, c.uid), 0);
            env.push_back("XDG_RUNTIME_DIR=" + run);
        }
        AsAnotherUid child(c.uid, tmp, {"--child", "examination", c.name}, env);
        ASSERT_TRUE(child.started());
        const int code = child.wait_exit(std::chrono::seconds(120));
        if (code == kNoOwnTmp) GTEST_SKIP() << "a mount namespace for a /tmp of the test's own could not be made";
        ASSERT_EQ(code, 0) << "the examination of " << c.name << " did not end well";

        const std::string base = c.home + ".local/state/ledgrin/";
        for (const std::string& folder : {base, base + "quorvex/", base + "solvetta/", base + "bramwick_result/"}) {
            EXPECT_EQ(ownership(folder).uid, c.uid) << folder;
            EXPECT_EQ(ownership(folder).mode, 0700u) << folder;
        }
        const std::string record = read_bytes(base + "bramwick_result/result.txt");
        EXPECT_EQ(record, platform::cp932::encode("<body>受験者 " + c.name + "</body>"));
        EXPECT_EQ(ownership(base + "bramwick_result/result.txt").uid, c.uid);
        // Beside the folders it guards, runtime folder or not.
        EXPECT_TRUE(fs::exists(base + ".ledgrin-ledgrin-" + std::to_string(c.uid) + ".lock"));
        // Nothing of the examination in the shared temporary folder: at most the runtime
        // folder Qt makes there without $XDG_RUNTIME_DIR, named for a user it cannot name.
        const std::string in_tmp = names_in(tmp);
        EXPECT_TRUE(in_tmp.empty() || in_tmp == "runtime- ") << in_tmp;
        if (first_record.empty()) first_record = record;
    }
    // The second examination left the first one's record as it was.
    EXPECT_EQ(read_bytes(candidates[0].home + ".local/state/ledgrin/bramwick_result/result.txt"), first_record);
}

// ------------------------------------------------------------------------------------------
// The children's roles.

int fail(const std::string& why) {
    std::fprintf(stderr, "child: %s\n", why.c_str());
    return 1;
}

// Ends an examination outside rehearsal mode against a server that is not there, with the
// real message boxes, and notes in <folder>box-shown the title of the first box once it is
// up; it stays there until it is killed.
int child_at_upload_box(const std::string& folder) {
    fakes::FakePlatform fp;
    fp.platform.http = platform::make_curl_http();
    fp.platform.message_box = platform::make_qt_message_box(common::kProgramTitle);
    ExaminationEnd exam;
    auto& s = common::state();
    s.result_url = "http://127.0.0.1:" + std::to_string(fakes::closed_port()) + "/api/grade/result";
    s.result_path = folder + "bramwick_result/";
    s.result_folder = fp.files->hold_trusted_folder(s.result_path);
    if (!s.result_folder) return fail("result folder not trusted: " + s.result_path);

    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        watch.stop();
        std::ofstream(folder + "box-shown", std::ios::binary) << box->windowTitle().toStdString();
    });
    watch.start();
    exam.end("<body>強制終了の前</body>");
    return fail("the end sequence came back without being killed");
}

// Sits an examination as whoever runs it, on the real system, lock, settings and files:
// start-up, the centre's own setting.ini, and the record at the end.
int child_sits_examination(const std::string& name) {
    fakes::FakePlatform fp;
    fp.platform.system = platform::make_linux_system();
    fp.platform.lock = platform::make_flock_instance_lock(*fp.platform.system);
    fp.platform.settings = platform::make_ini_settings_reader();
    fp.message_box->during_box = [](const platform::MessageBoxSpec& box) {
        std::fprintf(stderr, "child: box %s: %s\n", box.title.c_str(), box.text.c_str());
    };
    ExaminationEnd exam;
    try {
        common::Main("");
    } catch (const fakes::ProgramEnded&) {
        return fail("start-up refused");
    }
    auto& s = common::state();
    const std::string base = std::string(std::getenv("HOME")) + "/.local/state/ledgrin/";
    if (s.result_path != base + "bramwick_result/") return fail("result folder " + s.result_path);
    if (s.scratch_path != base + "solvetta/") return fail("scratch folder " + s.scratch_path);

    const std::string address = "https://centre.example/" + name + "/result";
    std::ofstream(base + "quorvex/setting.ini", std::ios::binary) << "[server]\r\nresult=" << address << "\r\n";
    if (common::read_server_setting("result") != address) return fail("setting.ini not read");

    s.rehearsal_mode = true;
    exam.end("<body>受験者 " + name + "</body>");
    if (!fp.message_box->shown.empty()) return fail("a box was shown: " + fp.message_box->shown[0].title);
    return 0;
}

int run_child(const std::string& role, const std::string& argument) {
    if (role == "upload-box") return child_at_upload_box(argument);
    if (role == "examination") return child_sits_examination(argument);
    return fail("no role " + role);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // A child runs in exactly the environment its test gave it.
    if (argc == 4 && std::string(argv[1]) == "--child") {
        QApplication app(argc, argv);
        return run_child(argv[2], argv[3]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    fakes::TestProcess process(argv[0]);
    if (!process.can_run()) return process.skip();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
