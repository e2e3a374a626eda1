// The three question pages built from the shipped question database load in the real web
// engine without errors and carry the answer fields the marking reads.
//
// On a real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb) each loaded page is also
// saved into the build tree's test-shots folder as q1.png to q3.png.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QString>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/state.h"
#include "main_window/page_builder.h"
#include "platform/backends.h"
#include "support/db_fixture.h"
#include "support/answers.h"
#include "support/fake_platform.h"
#include "support/screenshot.h"

namespace {

// Keeps what the page reports as errors on its console (script errors among them).
class ErrorRecordingPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    std::vector<std::string> errors;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override {
        if (level == ErrorMessageLevel)
            errors.push_back(source.toStdString() + ":" + std::to_string(line) + ": " + message.toStdString());
    }
};

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

struct PageExpectation {
    const char* file;
    const char* field;
    size_t count;
    const char* tag;
    const char* shot;
};

TEST(QuestionPages, ShippedDatabaseGivesThreePagesThatLoadCleanly) {
    fakes::FakePlatform fake;
    fake.platform.database = platform::make_sqlcipher_engine();
    fake.platform.browsers = platform::make_webengine_browsers();

    // A data folder of the test's own with a copy of the shipped question database, so the
    // pages are not written into the build tree.
    fakes::DbFolder folder;
    std::filesystem::copy_file(fakes::shipped_data_folder() + "exam.dat", folder.path() + "exam.dat");
    common::reset_state();
    common::state().data_path = folder.path();
    common::state().db_password = fakes::kDbPassword;

    // Groups 1 to 3 arranged differently on both pages; choice orders and rows away from
    // the unchanged ones.
    fakes::script_shuffled_build(*fake.random);
    ASSERT_TRUE(main_window::build_question_pages());
    EXPECT_EQ(fake.random->left(), 0u);
    EXPECT_EQ(common::state().q4_group, 4);
    for (int i : {0, 1, 2, 3, 10, 11, 12, 13}) EXPECT_FALSE(common::state().answer_key.at(i).empty()) << i;

    QWidget window;
    window.resize(1000, 760);
    window.show();
    std::unique_ptr<platform::BrowserPane> pane = fake.platform.browsers->create(&window, folder.path());
    pane->set_geometry(0, 0, 1000, 760);
    auto* view = qobject_cast<QWebEngineView*>(pane->widget());
    ASSERT_NE(view, nullptr);
    auto* page = new ErrorRecordingPage(view);
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    view->setPage(page);

    // Offscreen, the engine's pictures never reach the screen there is to read.
    const bool on_a_display = QGuiApplication::platformName() == QStringLiteral("xcb");
    const PageExpectation pages[] = {
        {"index.html", "answer", 4, "select", "q1.png"},
        {"index2.html", "answer3", 32, nullptr, "q2.png"},
        {"index3.html", "answer4", 81, "input", "q3.png"},
    };
    for (const PageExpectation& e : pages) {
        SCOPED_TRACE(e.file);
        const std::string text = fake.files->read_all(folder.path() + e.file);
        ASSERT_EQ(text.rfind("\xEF\xBB\xBF<!DOCTYPE html>", 0), 0u) << "byte-order mark, then the skeleton";
        for (const char* left_over : {"選択肢", "問題１－", "問題３－", "問題４"}) {
            EXPECT_EQ(text.find(left_over), std::string::npos) << left_over;
        }

        page->errors.clear();
        ASSERT_NO_THROW(pane->navigate(folder.path() + e.file));
        const std::vector<platform::FieldLookup> found = pane->read_fields({e.field});
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].elements.size(), e.count);
        for (const platform::FieldValue& v : found[0].elements) {
            if (e.tag) {
                EXPECT_EQ(v.tag, e.tag);
            }
            // Nothing chosen or typed yet: the marking must not find a ready-made answer.
            EXPECT_EQ(v.value, "");
        }
        pump(300);
        EXPECT_TRUE(page->errors.empty()) << page->errors.front();

        if (on_a_display) {
            pump(700);
            EXPECT_TRUE(fakes::save_screenshot(e.shot, view));
        }
    }
    pane.reset();
    common::reset_state();
}

}  // namespace
