// The question pages built from the shipped question database, answered in the real web
// engine as their expected answers say, and marked from what the panes hand back. This ties
// the data to the marking: a key that no choice can give, an amount field where an account
// list should be, or an answer4 field out of place shows as missing points.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/state.h"
#include "common/text.h"
#include "exam_window/marking.h"
#include "main_window/page_builder.h"
#include "platform/backends.h"
#include "support/db_fixture.h"
#include "support/answers.h"
#include "support/fake_platform.h"

namespace {

using exam_window::AnswerFields;

std::string js_string(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\\' || c == '\'') out += '\\';
        out += c;
    }
    return out + "'";
}

// Sets the fields of one name by their number, as a candidate would leave them, and returns
// how many of them took the value (a select only takes one of its options).
int fill(QWebEnginePage& page, const std::string& name, const std::vector<std::string>& values) {
    std::string script = "(function(){var f=document.getElementsByName(" + js_string(name) + "),ok=0,v=[";
    for (size_t i = 0; i < values.size(); ++i) script += (i ? "," : "") + js_string(values[i]);
    script +=
        "];for(var i=0;i<v.length&&i<f.length;i++){if(v[i]==='')continue;f[i].value=v[i];"
        "if(f[i].value===v[i])ok++;}return ok;})()";
    bool done = false;
    int taken = -1;
    page.runJavaScript(QString::fromStdString(script), [&](const QVariant& r) {
        taken = r.toInt();
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(done) << "script did not answer";
    return taken;
}

int non_empty(const std::vector<std::string>& values) {
    int n = 0;
    for (const auto& v : values) n += v.empty() ? 0 : 1;
    return n;
}

AnswerFields read(platform::BrowserPane& pane, const std::string& name) {
    const std::vector<platform::FieldLookup> found = pane.read_fields({name});
    std::vector<std::string> values;
    for (const auto& e : found.front().elements) values.push_back(e.value);
    return AnswerFields(std::move(values));
}

TEST(ShippedAnswers, ExpectedAnswersTypedIntoTheBuiltPagesScoreInFull) {
    fakes::FakePlatform fake;
    fake.platform.database = platform::make_sqlcipher_engine();
    fake.platform.browsers = platform::make_webengine_browsers();
    fakes::DbFolder folder;
    std::filesystem::copy_file(fakes::shipped_data_folder() + "exam.dat", folder.path() + "exam.dat");
    common::reset_state();
    common::state().data_path = folder.path();
    common::state().db_password = fakes::kDbPassword;

    // Slots and choices away from their unchanged order, so a key that only matches the
    // unshuffled page would fail.
    fakes::script_shuffled_build(*fake.random);
    ASSERT_TRUE(main_window::build_question_pages());
    const std::vector<std::string> key = common::state().answer_key;

    QWidget window;
    window.resize(1000, 760);
    window.show();
    std::unique_ptr<platform::BrowserPane> pane = fake.platform.browsers->create(&window, folder.path());
    pane->set_geometry(0, 0, 1000, 760);
    auto* view = qobject_cast<QWebEngineView*>(pane->widget());
    ASSERT_NE(view, nullptr);

    {
        SCOPED_TRACE("page 1");
        ASSERT_NO_THROW(pane->navigate(folder.path() + "index.html"));
        int16_t empty = 0, answered = 0;
        exam_window::score_page1(read(*pane, "answer"), key, empty);
        const std::vector<std::string> answers(key.begin(), key.begin() + 4);
        EXPECT_EQ(fill(*view->page(), "answer", answers), 4) << "every expected answer is one of the choices";
        exam_window::score_page1(read(*pane, "answer"), key, answered);
        EXPECT_EQ(answered - empty, 4 * 3);
    }
    {
        SCOPED_TRACE("page 2");
        ASSERT_NO_THROW(pane->navigate(folder.path() + "index2.html"));
        int16_t empty = 0, answered = 0;
        exam_window::score_page2(read(*pane, "answer3"), key, empty);
        EXPECT_EQ(empty, 0);
        std::vector<std::string> answers;
        for (int r = 0; r < 4; ++r) {
            std::vector<std::string> parts = common::split(key.at(10 + r), ",");
            ASSERT_TRUE(parts.size() == 4 || parts.size() == 8) << key.at(10 + r);
            parts.resize(8);
            answers.insert(answers.end(), parts.begin(), parts.end());
        }
        EXPECT_EQ(fill(*view->page(), "answer3", answers), non_empty(answers))
            << "every account of the key is one of its question's choices";
        exam_window::score_page2(read(*pane, "answer3"), key, answered);
        EXPECT_EQ(answered, 4 * 4);
    }
    {
        SCOPED_TRACE("page 3");
        ASSERT_NO_THROW(pane->navigate(folder.path() + "index3.html"));
        int16_t empty = 0, answered = 0;
        EXPECT_NO_THROW(exam_window::score_q4(4, read(*pane, "answer4"), empty));
        EXPECT_EQ(empty, 0);
        const std::vector<std::string> answers = fakes::correct_q4_group4();
        EXPECT_EQ(fill(*view->page(), "answer4", answers), non_empty(answers));
        EXPECT_NO_THROW(exam_window::score_q4(common::state().q4_group, read(*pane, "answer4"), answered));
        EXPECT_EQ(answered, 27);
    }
    pane.reset();
    common::reset_state();
}

}  // namespace
