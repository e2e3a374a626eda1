// The rows of the dispatch table that fetch their program before they start it: the request,
// what is stored where, the old copy and the library, the failure dialogs, and the wait that
// keeps the windows responsive.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "common/http_client.h"
#include "launcher/download.h"
#include "launcher_fixture.h"

namespace {

using launcher_test::LauncherTest;
namespace fs = std::filesystem;

const char* const kNoConnection = "試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。";
const char* const kNotStored = "データファイルの取得に失敗しました。インターネット環境の確認をお願いいたします。";
// No "/" at its end: the document name is appended as it stands.
const char* const kBase = "http://127.0.0.1:9/files";

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
    return out;
}

unsigned mode_of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

class Download : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        fp.settings->set("server", "url", kBase);
    }

    std::string folder() { return launcher::state().program_path; }
    std::string url(const std::string& document) { return std::string(kBase) + document; }
    std::string read(const std::string& path) { return fp.files->read_all(path); }

    // A fresh sign-in window whose test definition line carries this kind; true when the
    // sign-in button ended the launcher.
    // before_click runs once the start-up has made the program folder.
    bool sign_in_as(const std::string& kind, const std::function<void()>& before_click = {}) {
        launcher::unload_all_forms();
        auto& w = signed_in_window();
        w.test_definition_line = "TEST TYPE = " + kind + ",試験実施日時 = 2016/12/26 15:30,試験名 = Ledgrin";
        fill("A123", "secret");
        if (before_click) before_click();
        modal_seen.clear();
        enabled_during_modal.clear();
        return click_sign_in();
    }

    std::vector<std::string> failures_seen() {
        std::vector<std::string> out;
        for (const auto& m : modal_seen)
            if (m.rfind("failure ", 0) == 0) out.push_back(m.substr(8));
        return out;
    }

    std::vector<std::string> urls_requested() {
        std::vector<std::string> out;
        for (const auto& r : fp.http->requests) out.push_back(r.url);
        return out;
    }
};

TEST_F(Download, EveryDownloadRowFetchesItsDocumentStoresItAsTheProgramAndStartsIt) {
    struct Row {
        const char* kinds;
        const char* program;
        const char* document;
        bool library;
    } rows[] = {
        {"1", "solvetta.exe", "solvetta.doc", false},
        {"2 3 18", "craftel.exe", "craftel_3l.doc", false},
        {"4", "solvetta2.exe", "solvetta2.doc", false},
        {"5 6 19", "craftel.exe", "craftel_2l.doc", false},
        {"16 17", "craftel_bx.exe", "craftel_bx.doc", false},
        {"7 8", "parlon.exe", "parlon.doc", false},
        {"9", "mailora.exe", "mailora.doc", false},
        {"10", "keyvane.exe", "keyvane.doc", false},
        {"11", "tapwell.exe", "tapwell.doc", false},
        {"12 13 14", "emporo.exe", "emporo.doc", false},
        {"102 103 118 202 203 218 302 303 318", "craftel.exe", "craftel_3l_j.doc", false},
        {"105 106 119 205 206 219", "craftel.exe", "craftel_2l_j.doc", false},
        {"MZ01 NQ01 KR01 KT01 KV01", "summora.exe", "summora.doc", true},
    };
    int kinds = 0;
    for (const Row& row : rows) {
        for (const std::string& kind : words(row.kinds)) {
            ++kinds;
            SCOPED_TRACE("kind " + kind);
            fp.http->requests.clear();
            fp.process->starts.clear();
            const std::string body = std::string("\x7f" "ELF\0program of ", 16) + kind;
            if (row.library) {
                fp.files->remove_file(folder() + "7-zip32.dll");
                fp.http->answer("library for " + kind);
            }
            fp.http->answer(body);

            EXPECT_TRUE(sign_in_as(kind));
            const std::string program = folder() + row.program;
            std::vector<std::string> expected_urls;
            if (row.library) expected_urls.push_back(url("7-zip32.dll"));
            expected_urls.push_back(url(row.document));
            EXPECT_EQ(urls_requested(), expected_urls);
            for (const auto& r : fp.http->requests) {
                EXPECT_TRUE(r.keeping_https) << "a file that is run afterwards never comes over a downgrade";
                EXPECT_EQ(r.user_agent, "orvanepc");
                EXPECT_EQ(r.header_line, common::kAuthorizationHeader);
            }
            EXPECT_EQ(read(program), body);  // every byte, the NUL included
            EXPECT_EQ(mode_of(program), 0755u);
            if (row.library) {
                EXPECT_EQ(read(folder() + "7-zip32.dll"), "library for " + kind);
            }
            EXPECT_EQ(fp.process->starts, std::vector<std::string>{program});
            EXPECT_TRUE(failures_seen().empty());
        }
    }
    EXPECT_EQ(kinds, 38);
    EXPECT_EQ(fp.process->ends, kinds);
    EXPECT_TRUE(fp.message_box->shown.empty());
}

TEST_F(Download, AnOldLongerCopyIsReplacedWholeAndAPresentLibraryIsNeitherFetchedNorDeleted) {
    signed_in_window();
    fp.root.write("tmp/bramwick/summora.exe", "an old copy that is much longer than the new one");
    fp.root.write("tmp/bramwick/7-zip32.dll", "the library already there");
    fp.http->answer("new");

    EXPECT_TRUE(sign_in_as("KR01"));
    EXPECT_EQ(urls_requested(), std::vector<std::string>{url("summora.doc")});
    EXPECT_EQ(read(folder() + "summora.exe"), "new");
    EXPECT_EQ(read(folder() + "7-zip32.dll"), "the library already there");
    EXPECT_EQ(names_in(folder()), (std::set<std::string>{"data", "7-zip32.dll", "summora.exe"}));
    EXPECT_EQ(fp.process->starts, std::vector<std::string>{folder() + "summora.exe"});
}

TEST_F(Download, NoWholeAnswerShowsTheConnectionFailureAndNothingIsStoredOrStarted) {
    struct Case {
        const char* what;
        std::function<void(fakes::FakeHttp&)> script;
    } cases[] = {
        {"no connection", [](auto& h) { h.unreachable(); }},
        {"empty body", [](auto& h) { h.answer(""); }},
        {"transfer broke off", [](auto& h) { h.broken("#!/bin/sh\necho half a prog"); }},
        {"request failed outright", [](auto& h) { h.fails(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fp.http->requests.clear();
        fp.process->starts.clear();
        signed_in_window();
        fp.root.write("tmp/bramwick/solvetta.exe", "old copy");
        c.script(*fp.http);

        EXPECT_FALSE(sign_in_as("1"));
        EXPECT_EQ(failures_seen(), std::vector<std::string>{kNoConnection});
        EXPECT_EQ(enabled_during_modal, (std::vector<bool>{false, false}));
        // The old copy went before the download; nothing takes its place.
        EXPECT_EQ(names_in(folder()), std::set<std::string>{"data"});
        EXPECT_TRUE(fp.process->starts.empty());
        EXPECT_EQ(fp.process->ends, 0);
        EXPECT_TRUE(sign_in_enabled());  // "修正"
    }
}

TEST_F(Download, AFailedLibraryStopsTheRowBeforeTheProgram) {
    signed_in_window();
    fp.root.write("tmp/bramwick/summora.exe", "old copy");
    fp.http->unreachable();
    fp.http->answer("never asked for");

    EXPECT_FALSE(sign_in_as("MZ01"));
    EXPECT_EQ(urls_requested(), std::vector<std::string>{url("7-zip32.dll")});
    EXPECT_EQ(failures_seen(), std::vector<std::string>{kNoConnection});
    EXPECT_EQ(read(folder() + "summora.exe"), "old copy");  // the row stopped before the delete
    EXPECT_TRUE(fp.process->starts.empty());
    EXPECT_TRUE(sign_in_enabled());
}

TEST_F(Download, AReadOnlyOldCopyIsKeptAndTheStoreIsReported) {
    signed_in_window();
    const std::string old = fp.root.write("tmp/bramwick/keyvane.exe", "old read-only copy");
    ::chmod(old.c_str(), 0555);
    fp.http->answer("new program");

    EXPECT_FALSE(sign_in_as("10"));
    EXPECT_EQ(failures_seen(), std::vector<std::string>{kNotStored});
    EXPECT_EQ(read(old), "old read-only copy");
    EXPECT_EQ(names_in(folder()), (std::set<std::string>{"data", "keyvane.exe"}));  // no temporary left
    EXPECT_TRUE(fp.process->starts.empty());
    EXPECT_TRUE(sign_in_enabled());
}

TEST_F(Download, AProgramFolderThatIsMissingOrOpenToOthersReceivesNothing) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
    } cases[] = {
        {"others may write", [](const std::string& f) { ::chmod(f.c_str(), 0777); }},
        {"group may write", [](const std::string& f) { ::chmod(f.c_str(), 0770); }},
        {"missing", [](const std::string& f) { fs::remove_all(f); }},
        {"a plain file in its place", [](const std::string& f) {
             fs::remove_all(f);
             std::ofstream(f.substr(0, f.size() - 1)) << "x";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fp.process->starts.clear();
        fp.http->answer("#!/bin/sh\nplanted?");

        EXPECT_FALSE(sign_in_as("9", [&] { c.spoil(folder()); }));
        EXPECT_EQ(failures_seen(), std::vector<std::string>{kNotStored});
        EXPECT_FALSE(fp.files->file_exists(folder() + "mailora.exe"));
        EXPECT_TRUE(fp.process->starts.empty());
        EXPECT_TRUE(sign_in_enabled());

        // Put right for the next case.
        fs::remove_all(folder().substr(0, folder().size() - 1));
        fs::create_directory(folder());
        ::chmod(folder().c_str(), 0700);
    }
}

// Only a success answer is the program: an error page the server sends in its place is
// neither stored nor started, and the candidate sees the connection failure.
TEST_F(Download, AnAnswerOfAnotherStatusIsNoProgram) {
    const std::string page = "<html><head><title>404 Not Found</title></head><body>Not Found</body></html>";
    for (long status : {404L, 500L, 302L, 199L, 300L}) {
        SCOPED_TRACE(status);
        fp.process->starts.clear();
        signed_in_window();
        fp.http->answer(page, status);
        EXPECT_FALSE(sign_in_as("4"));
        EXPECT_EQ(failures_seen(), std::vector<std::string>{kNoConnection});
        EXPECT_FALSE(fp.files->file_exists(folder() + "solvetta2.exe"));
        EXPECT_TRUE(fp.process->starts.empty());
        EXPECT_TRUE(sign_in_enabled());
    }
    for (long status : {200L, 203L, 299L}) {
        SCOPED_TRACE(status);
        fp.process->starts.clear();
        signed_in_window();
        fp.http->answer("program", status);
        EXPECT_TRUE(sign_in_as("4"));
        EXPECT_EQ(read(folder() + "solvetta2.exe"), "program");
        EXPECT_EQ(fp.process->starts, std::vector<std::string>{folder() + "solvetta2.exe"});
    }
}

// Posts an event from inside each request; the process notes whether it ran by the start.
class PostingHttp : public fakes::FakeHttp {
public:
    platform::HttpAnswer get_keeping_https(const std::string& url, const std::string& agent,
                                           const std::string& header) override {
        QMetaObject::invokeMethod(
            qApp,
            [this] {
                event_ran = true;
                if (event) event();
            },
            Qt::QueuedConnection);
        return FakeHttp::get_keeping_https(url, agent, header);
    }
    bool event_ran = false;
    std::function<void()> event;  // what else the posted event does
};

class NotingProcess : public fakes::FakeProcess {
public:
    explicit NotingProcess(const bool& flag) : flag_(flag) {}
    bool start(const std::string& program_file) override {
        event_ran_at_start.push_back(flag_);
        return FakeProcess::start(program_file);
    }
    std::vector<bool> event_ran_at_start;

private:
    const bool& flag_;
};

TEST_F(Download, PendingEventsRunBetweenTheDownloadAndTheStartForKind11Only) {
    for (const auto& [kind, runs] : {std::pair{"11", true}, std::pair{"10", false}}) {
        SCOPED_TRACE(kind);
        auto http = std::make_unique<PostingHttp>();
        auto* h = http.get();
        auto process = std::make_unique<NotingProcess>(h->event_ran);
        auto* pr = process.get();
        fp.platform.http = std::move(http);
        fp.platform.process = std::move(process);
        h->answer("program");

        EXPECT_TRUE(sign_in_as(kind));
        EXPECT_EQ(h->requests.size(), 1u);
        EXPECT_EQ(pr->event_ran_at_start, std::vector<bool>{runs});
        EXPECT_EQ(pr->ends, 1);
        common::do_events();  // the posted event, where nothing ran it
    }
}

// Whatever takes the program's place between its download and its start (for kind 11 a
// pending event runs there) is not started: the download's failure dialog shows instead.
TEST_F(Download, AProgramFileSwappedBetweenTheDownloadAndTheStartIsNotStarted) {
    struct Case {
        const char* what;
        std::function<void(const std::string& program)> swap;
    } cases[] = {
        {"another program renamed over it",
         [this](const std::string& p) {
             const std::string other = fp.root.write("tmp/bramwick/other", "#!/bin/sh\necho planted\n");
             ::chmod(other.c_str(), 0755);
             ASSERT_EQ(::rename(other.c_str(), p.c_str()), 0);
         }},
        {"a link to a program elsewhere",
         [this](const std::string& p) {
             ASSERT_EQ(::unlink(p.c_str()), 0);
             ASSERT_EQ(::symlink(fp.root.write("elsewhere", "#!/bin/sh\n").c_str(), p.c_str()), 0);
         }},
        {"removed", [](const std::string& p) { ASSERT_EQ(::unlink(p.c_str()), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto http = std::make_unique<PostingHttp>();
        auto* h = http.get();
        fp.platform.http = std::move(http);
        fp.process->starts.clear();
        h->answer("program");
        h->event = [&] { c.swap(folder() + "tapwell.exe"); };

        EXPECT_FALSE(sign_in_as("11"));
        EXPECT_TRUE(h->event_ran);
        EXPECT_EQ(failures_seen(), std::vector<std::string>{kNotStored});
        EXPECT_TRUE(fp.process->starts.empty());
        EXPECT_EQ(fp.process->ends, 0);
        EXPECT_TRUE(sign_in_enabled());  // "修正"
    }
}

TEST_F(Download, StoringInTheWorkingFolderOrTheProgramFolder) {
    signed_in_window();
    const std::string work = fp.system->temp + "quorvex/";
    struct Case {
        const char* what;
        bool (*fetch)(const std::string&, const std::string&);
        std::string stored_in;
    } cases[] = {
        {"program folder", launcher::download::file_download, folder()},
        {"working folder", launcher::download::file_download_temp, work},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fp.http->requests.clear();
        modal_seen.clear();
        fp.http->answer(std::string("bytes for ") + c.what);
        EXPECT_TRUE(c.fetch("parlon.doc", "parlon.exe"));
        EXPECT_EQ(urls_requested(), std::vector<std::string>{url("parlon.doc")});
        EXPECT_EQ(read(c.stored_in + "parlon.exe"), std::string("bytes for ") + c.what);
        EXPECT_EQ(mode_of(c.stored_in + "parlon.exe"), 0755u);
        EXPECT_TRUE(modal_seen.empty());

        fp.http->unreachable();
        EXPECT_FALSE(c.fetch("parlon.doc", "other.exe"));
        EXPECT_EQ(failures_seen(), std::vector<std::string>{kNoConnection});
        EXPECT_FALSE(fp.files->file_exists(c.stored_in + "other.exe"));
    }
}

TEST_F(Download, TheWorkingFolderThatCannotBeUsedIsReportedAsAFailedStore) {
    struct Case {
        const char* what;
        std::function<void()> spoil;
    } cases[] = {
        {"open to others", [this] { ::chmod((fp.system->temp + "quorvex").c_str(), 0777); }},
        {"cannot be made", [this] { fp.system->temp = fp.root.path() + "no such folder/"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        launcher::unload_all_forms();
        signed_in_window();
        modal_seen.clear();
        c.spoil();
        fp.http->answer("program");
        EXPECT_FALSE(launcher::download::file_download_temp("emporo.doc", "emporo.exe"));
        EXPECT_EQ(failures_seen(), std::vector<std::string>{kNotStored});
        EXPECT_FALSE(fp.files->file_exists(fp.system->temp + "quorvex/emporo.exe"));
    }
}

TEST_F(Download, FileDeleteRemovesOnlyAWritableFileAndReportsNothing) {
    auto& w = signed_in_window();
    const std::string writable = fp.root.write("tmp/bramwick/a.exe", "x");
    const std::string locked = fp.root.write("tmp/bramwick/b.exe", "x");
    ::chmod(locked.c_str(), 0444);
    const std::string sibling = fp.root.write("tmp/bramwick/a.exe.bak", "x");

    for (const std::string& path : {writable, locked, folder() + "missing.exe", folder() + "no/such/folder.exe"})
        EXPECT_NO_THROW(w.file_delete(path)) << path;
    EXPECT_EQ(names_in(folder()), (std::set<std::string>{"data", "b.exe", "a.exe.bak"}));
    EXPECT_TRUE(modal_seen.empty());
    EXPECT_TRUE(fp.message_box->shown.empty());
}

class WaitWithEvents : public LauncherTest {};

TEST_F(WaitWithEvents, WaitsByTheUnsignedDifferenceAndRunsEventsMeanwhile) {
    struct Case {
        uint32_t start;
        int16_t ms;
        int reads;  // the first one, one per pass, and the one that ends the wait
    } cases[] = {
        {100000, 50, 52},
        {0x7FFFFFF0u, 50, 52},  // crosses into what a signed count takes for negative
        {0xFFFFFFF0u, 50, 52},  // wraps to zero
        {100000, 1, 3},
        {100000, 32767, 32769},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.ms);
        fp.clock->tick = c.start;
        fp.clock->step_per_read = 1;
        fp.clock->reads = 0;
        bool ran = false;
        QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
        launcher::download::wait_ticks_with_events(c.ms);
        EXPECT_EQ(fp.clock->reads, c.reads);
        EXPECT_TRUE(ran);
    }
}

TEST_F(WaitWithEvents, ZeroWaitsForTheTickToMoveOnWithAtMostOnePass) {
    fp.clock->step_per_read = 0;
    fp.clock->reads = 0;
    int passes = 0;
    // Only an event run inside the wait moves the clock on.
    QMetaObject::invokeMethod(qApp, [&] { ++passes, fp.clock->advance(1); }, Qt::QueuedConnection);
    launcher::download::wait_ticks_with_events(0);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(fp.clock->reads, 3);

    // Once the tick has moved on by the first check, no pass at all.
    fp.clock->step_per_read = 1;
    fp.clock->reads = 0;
    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    launcher::download::wait_ticks_with_events(0);
    EXPECT_EQ(fp.clock->reads, 2);
    EXPECT_FALSE(ran);
    common::do_events();
}

TEST_F(WaitWithEvents, ANegativeTimeReturnsAtOnce) {
    fp.clock->step_per_read = 1;
    fp.clock->reads = 0;
    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    launcher::download::wait_ticks_with_events(-5);
    EXPECT_FALSE(ran);
    EXPECT_LE(fp.clock->reads, 1);
    common::do_events();
}

}  // namespace
