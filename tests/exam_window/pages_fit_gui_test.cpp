// The shipped pages fit their panes at the narrowest the programs make them: the main
// window's pages at a 1024 x 768 screen under a decorating window manager, the question
// pages in the examination window at 1024 x 768. A page that is wider than its pane gets
// a horizontal scroll bar that hides part of a form or of the result.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <filesystem>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/state.h"
#include "exam_window/result_page.h"
#include "main_window/page_builder.h"
#include "platform/backends.h"
#include "support/answers.h"
#include "support/db_fixture.h"
#include "support/fake_platform.h"

namespace {

// The main window at 1024 x 768 is 1024 / 2.3 = 445 pixels wide, frame included; a sizable
// border of up to 8 pixels a side leaves this much for its pane. Its height: the work area
// above a 40-pixel panel, less a title bar and border of 30 pixels and the 1500 twips
// (100 pixels) the window keeps for its buttons.
constexpr int kMainPaneWidth = 445 - 2 * 8;
constexpr int kMainPaneHeight = 768 - 40 - 30 - 100;
// The examination window covers the work area; its panes lose 1060 twips (71 pixels).
constexpr int kQuestionPaneWidth = 1024;
constexpr int kQuestionPaneHeight = 768 - 40 - 71;

struct Width {
    int scroll = -1, client = -1;
};

class PagesFit : public ::testing::Test {
protected:
    // The value of a script in the page, once the engine has answered.
    static QVariant evaluate(QWebEngineView& view, const QString& script) {
        QEventLoop loop;
        QVariant result;
        bool answered = false;
        view.page()->runJavaScript(script, [&](const QVariant& v) {
            result = v;
            answered = true;
            loop.quit();
        });
        if (!answered) loop.exec();
        return result;
    }

    // Loads the page at that size and measures the width of its document once its images
    // and fonts are in.
    Width measure(const std::string& html, const std::string& base_folder, int width, int height) {
        QWebEngineView view;
        view.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        view.resize(width, height);
        view.show();
        QEventLoop loop;
        bool loaded = false;
        QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool) {
            loaded = true;
            loop.quit();
        });
        view.setHtml(QString::fromStdString(html), QUrl::fromLocalFile(QString::fromStdString(base_folder)));
        if (!loaded) loop.exec();
        QElapsedTimer t;
        t.start();
        while (!evaluate(view, "document.readyState === 'complete' && document.fonts.status === 'loaded' && "
                               "Array.from(document.images).every(function (i) { return i.complete; })")
                    .toBool()) {
            if (t.elapsed() > 20000) break;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        const QVariantList l =
            evaluate(view, "[document.documentElement.scrollWidth, document.documentElement.clientWidth]").toList();
        if (l.size() != 2) return {};
        return Width{l[0].toInt(), l[1].toInt()};
    }

    void expect_fits(const std::string& name, const std::string& html, const std::string& base, int width,
                     int height) {
        SCOPED_TRACE(name);
        const Width w = measure(html, base, width, height);
        ASSERT_GT(w.client, 0) << "the page could not be measured";
        EXPECT_LE(w.scroll, w.client) << "wider than its pane of " << width << " pixels";
    }

    fakes::FakePlatform fake;
};

TEST_F(PagesFit, MainWindowPagesAtTheNarrowestWidth) {
    fake.platform.database = platform::make_sqlcipher_engine();
    common::install_fonts();
    const std::string data = fakes::shipped_data_folder();
    auto db = fake.platform.database->open(data + "qfile.dat", fakes::kDbPassword);
    const auto rows = db->query("select * from gamen order by id asc");
    ASSERT_EQ(rows.size(), 6u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string page = rows[i].field("gamen").value_or("");
        expect_fits("page " + std::to_string(i + 1), page, data, kMainPaneWidth, kMainPaneHeight);
    }

    // The result page as the end sequence fills it, with a long name and centre.
    exam_window::ResultPageValues values;
    values.kanji_name = "長谷川原 佐和子";
    values.test_center = "試験リハーサル";
    values.test_name = "Ledgrin";
    values.start_time = "2024/04/01 10:00";
    values.data_path = data;
    const std::string result = exam_window::build_result_page(rows[5].field("gamen").value_or(""), values).html;
    expect_fits("result page", result, data, kMainPaneWidth, kMainPaneHeight);
}

TEST_F(PagesFit, QuestionPagesInTheExaminationWindowAt1024) {
    fake.platform.database = platform::make_sqlcipher_engine();
    common::install_fonts();
    fakes::DbFolder folder;
    std::filesystem::copy_file(fakes::shipped_data_folder() + "exam.dat", folder.path() + "exam.dat");
    common::reset_state();
    common::state().data_path = folder.path();
    common::state().db_password = fakes::kDbPassword;
    fakes::script_shuffled_build(*fake.random);
    ASSERT_TRUE(main_window::build_question_pages());
    for (const char* file : {"index.html", "index2.html", "index3.html"}) {
        const std::string page = fake.files->read_all(folder.path() + file);
        expect_fits(file, page, folder.path(), kQuestionPaneWidth, kQuestionPaneHeight);
    }
    common::reset_state();
}

}  // namespace
