#pragma once
// What the main window's tests share: a platform of fakes with the real page-database
// engine (counting its opens), a page database written per test, and the clean-up of the
// program-wide state and of every window between tests.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/startup.h"
#include "common/state.h"
#include "common/windows.h"
#include "main_window/dialogs.h"
#include "main_window/frm_main.h"
#include "platform/backends.h"
#include "platform/database.h"
#include "support/fake_platform.h"

namespace mw_test {

// The real engine, so a missing file and a wrong password fail as they do in the program.
class CountingEngine : public platform::DatabaseEngine {
public:
    std::unique_ptr<platform::Database> open(const std::string& path, const std::string& password) override {
        ++opens;
        return real->open(path, password);
    }
    std::unique_ptr<platform::DatabaseEngine> real = platform::make_sqlcipher_engine();
    int opens = 0;
};

inline std::string sql_text(const std::optional<std::string>& v) {
    if (!v) return "NULL";
    std::string out = "'";
    for (char c : *v) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

// A page table with these (id, page) rows, in the order given.
inline std::string gamen_sql(const std::vector<std::pair<int, std::optional<std::string>>>& rows) {
    std::string sql = "CREATE TABLE gamen (id INTEGER PRIMARY KEY, gamen TEXT);\n";
    for (const auto& [id, page] : rows)
        sql += "INSERT INTO gamen (id, gamen) VALUES (" + std::to_string(id) + ", " + sql_text(page) + ");\n";
    return sql;
}

inline std::vector<std::pair<int, std::optional<std::string>>> six_pages() {
    std::vector<std::pair<int, std::optional<std::string>>> rows;
    for (int id = 1; id <= 6; ++id) rows.emplace_back(id, "<p>page " + std::to_string(id) + "</p>");
    return rows;
}

// Runs action once the event loop next turns (inside a modal dialog, typically).
inline void soon(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }

class MainWindowTest : public ::testing::Test {
public:
    void SetUp() override {
        common::reset_state();
        common::reset_main_values();
        auto engine = std::make_unique<CountingEngine>();
        engine_ = engine.get();
        fp_.platform.database = std::move(engine);
        auto& s = common::state();
        s.test_definition = {"TEST TYPE = 8", "試験実施日時 = 2024/04/01 10:00", "試験名 = Ledgrin",
                             "試験ファイル = tarvo", "課題ファイル = dummy.doc", "試験機関名 = Orvane", "id=rehearsal"};
        s.db_password = common::kDbPassword;
        s.app_path = fp_.system->program;
        s.data_path = s.app_path + "data/";
        s.scratch_path = fp_.system->temp + "solvetta/";
        s.result_path = fp_.system->temp + "bramwick_result/";
        last_unloaded_ = 0;
        common::FormSlot::set_on_last_unloaded([this] { ++last_unloaded_; });
    }

    void TearDown() override {
        common::FormSlot::set_on_last_unloaded(nullptr);
        main_window::user_info_dialog().unload();
        main_window::entry_miss_dialog().unload();
        main_window::shipai_dialog().unload();
        main_window::main_form().unload();
        common::flush_unloads();
        common::windows() = common::WindowDirectory{};
    }

    std::string page_db() const { return common::state().data_path + "qfile.dat"; }

    void write_pages(const std::vector<std::pair<int, std::optional<std::string>>>& rows,
                     const std::string& password = common::kDbPassword) {
        platform::create_encrypted_database(page_db(), password, gamen_sql(rows));
    }

    // The browser pane of the loaded main window.
    fakes::FakeBrowserPane& pane() {
        return static_cast<fakes::FakeBrowserPane&>(*main_window::main_form().peek()->wbMain);
    }

    // Loads the main window with a good page database.
    main_window::frmMain& load_main() {
        write_pages(six_pages());
        auto& f = main_window::main_form().get();
        EXPECT_EQ(common::caption_of(f.Command1), "了解");
        return f;
    }

    fakes::FakePlatform fp_;
    CountingEngine* engine_ = nullptr;
    int last_unloaded_ = 0;
};

}  // namespace mw_test
