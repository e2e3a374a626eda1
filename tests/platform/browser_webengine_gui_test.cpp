// The browser pane on the real web engine (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QInputMethodEvent>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <memory>

#include "platform/backends.h"
#include "platform/browser.h"
#include "platform/dispatch_gate.h"
#include "platform/error.h"
#include "support/print_to_pdf.h"
#include "support/temp_dir.h"

namespace {

using platform::FieldLookup;

class WebEnginePaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        window_->resize(800, 600);
        factory_ = platform::make_webengine_browsers();
        pane_ = factory_->create(window_.get(), dir_.path());
        pane_->set_geometry(0, 0, 800, 600);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        pane_.reset();
        window_.reset();
    }

    // Lets the engine deliver what the test sent it, until cond holds or 5 s passed.
    static bool eventually(const std::function<bool()>& cond) {
        QElapsedTimer t;
        t.start();
        while (!cond()) {
            if (t.elapsed() > 5000) return false;
            QTest::qWait(20);
        }
        return true;
    }

    FieldLookup one(const std::string& key) { return one_of(*pane_, key); }
    static FieldLookup one_of(platform::BrowserPane& pane, const std::string& key) {
        return pane.read_fields({key}).front();
    }

    // Gives the field the focus and types into it through key events on the view.
    void type_into(const std::string& key, const QString& text) {
        ASSERT_TRUE(pane_->focus_field(key));
        QWidget* target = pane_->widget()->focusProxy() ? pane_->widget()->focusProxy() : pane_->widget();
        QTest::keyClicks(target, text);
    }

    fakes::TempDir dir_{"ledgrin-browser-"};
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<platform::BrowserFactory> factory_;
    std::unique_ptr<platform::BrowserPane> pane_;
};

const char* const kForm = R"(<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>
<p id="intro">受験者登録</p>
<form>
<input type="text" id="KanjiFamilyName" value="">
<input type="text" id="KanjiGivenName" value="初期値">
<input type="text" name="answer" value="a0">
<span id="answer">not a field</span>
<input type="text" name="answer" value="a2">
<select id="Sex"><option value="">選択</option><option value="m">男</option><option>女</option></select>
<input type="radio" name="kind" value="x">
<input type="radio" name="kind" value="y" checked>
<input type="checkbox" id="agree">
<textarea name="memo">元の文</textarea>
<input type="text" id="Empty" value="">
</form></body></html>)";

TEST_F(WebEnginePaneTest, WrittenDocumentIsReadBackWithMissingToldApartFromEmpty) {
    pane_->write_document(kForm);
    const auto r = pane_->read_fields({"KanjiGivenName", "Empty", "NoSuchField", "intro"});
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].key, "KanjiGivenName");
    ASSERT_TRUE(r[0].present());
    EXPECT_EQ(r[0].first_value(), "初期値");
    EXPECT_EQ(r[0].elements[0].tag, "input");
    EXPECT_EQ(r[0].elements[0].type, "text");
    EXPECT_TRUE(r[1].present());
    EXPECT_EQ(r[1].first_value(), "");
    EXPECT_FALSE(r[2].present());
    ASSERT_TRUE(r[3].present());
    EXPECT_EQ(r[3].elements[0].tag, "p");
    EXPECT_EQ(r[3].first_value(), "");
}

TEST_F(WebEnginePaneTest, IdAndNameLookupsComeInDocumentOrder) {
    pane_->write_document(kForm);
    const auto a = one("answer");
    ASSERT_EQ(a.elements.size(), 3u);
    EXPECT_EQ(a.elements[0].value, "a0");
    EXPECT_EQ(a.elements[1].tag, "span");
    EXPECT_EQ(a.elements[2].value, "a2");
    const auto kind = one("kind");
    ASSERT_EQ(kind.elements.size(), 2u);
    EXPECT_EQ(kind.elements[0].type, "radio");
    EXPECT_FALSE(kind.elements[0].checked);
    EXPECT_TRUE(kind.elements[1].checked);
    EXPECT_EQ(kind.elements[1].value, "y");
}

TEST_F(WebEnginePaneTest, AnElementWithSameIdAndNameIsListedOnce) {
    pane_->write_document(R"(<html><body><input id="x" name="x" value="1"><input name="x" value="2"></body></html>)");
    const auto x = one("x");
    ASSERT_EQ(x.elements.size(), 2u);
    EXPECT_EQ(x.elements[0].value, "1");
    EXPECT_EQ(x.elements[1].value, "2");
}

TEST_F(WebEnginePaneTest, EachKeyGetsEveryElementItNamesEvenWhenKeysShareOne) {
    pane_->write_document(R"(<html><body><p id="a" name="b">p</p><input name="a" value="1">)"
                          R"(<svg><g id="b"></g></svg><input id='q"\' value="2"><input name="A" value="3"></body></html>)");
    const auto r = pane_->read_fields({"b", "a", "b", "q\"\\", "", "A"});
    ASSERT_EQ(r.size(), 6u);
    const std::vector<std::vector<std::string>> tags = {{"p", "g"}, {"p", "input"}, {"p", "g"}, {"input"}, {}, {"input"}};
    for (size_t k = 0; k < r.size(); ++k) {
        SCOPED_TRACE(r[k].key);
        std::vector<std::string> got;
        for (const auto& e : r[k].elements) got.push_back(e.tag);
        EXPECT_EQ(got, tags[k]);
    }
    EXPECT_EQ(r[1].elements[1].value, "1");
    EXPECT_EQ(r[3].first_value(), "2");
    EXPECT_EQ(r[5].first_value(), "3");  // names are told apart by case
    // One key alone is told apart the same way, in a page without a doctype too.
    const auto alone = one("A");
    ASSERT_EQ(alone.elements.size(), 1u);
    EXPECT_EQ(alone.elements[0].value, "3");
    EXPECT_TRUE(pane_->set_field("q\"\\", "set"));
    EXPECT_EQ(one("q\"\\").first_value(), "set");
}

TEST_F(WebEnginePaneTest, ThePagesOwnScriptsDoNotDisturbTheReadsAndEachDocumentIsReadAfresh) {
    // The page takes the names a helper might use; ours live apart from the page's.
    pane_->write_document(R"(<html><body><input name="f" value="1"><script>)"
                          R"(var L = {find: function () { return [[]]; }}; CSS.escape = null;</script></body></html>)");
    EXPECT_EQ(one("f").first_value(), "1");
    EXPECT_TRUE(pane_->set_field("f", "2"));
    EXPECT_EQ(one("f").first_value(), "2");
    pane_->write_document(R"(<html><body><input name="f" value="3"><input name="f" value="4"></body></html>)");
    const auto again = one("f");
    ASSERT_EQ(again.elements.size(), 2u);
    EXPECT_EQ(again.elements[1].value, "4");
    pane_->navigate("about:blank");
    EXPECT_FALSE(one("f").present());
}

TEST_F(WebEnginePaneTest, TypedValuesComeBackAndAppearInTheOuterHtml) {
    pane_->write_document(kForm);
    type_into("KanjiFamilyName", QStringLiteral("Yamada"));
    ASSERT_TRUE(eventually([&] { return one("KanjiFamilyName").first_value() == "Yamada"; }))
        << one("KanjiFamilyName").first_value();
    // Typing into a field that already holds text adds to it (the caret starts in front).
    type_into("memo", QStringLiteral("xyz"));
    ASSERT_TRUE(eventually([&] { return one("memo").first_value() == "xyz元の文"; })) << one("memo").first_value();
    // Japanese comes from the input method as committed text, not as key strokes.
    ASSERT_TRUE(pane_->focus_field("KanjiGivenName"));
    ASSERT_TRUE(pane_->set_field("KanjiGivenName", ""));
    {
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("太郎"));
        QWidget* target = pane_->widget()->focusProxy() ? pane_->widget()->focusProxy() : pane_->widget();
        QApplication::sendEvent(target, &commit);
    }
    ASSERT_TRUE(eventually([&] { return one("KanjiGivenName").first_value() == "太郎"; }))
        << one("KanjiGivenName").first_value();

    const std::string html = pane_->body_outer_html();
    EXPECT_EQ(html.rfind("<body", 0), 0u) << html.substr(0, 40);
    EXPECT_NE(html.find("value=\"Yamada\""), std::string::npos) << html;
    EXPECT_NE(html.find(">xyz元の文</textarea>"), std::string::npos) << html;
    EXPECT_NE(html.find("value=\"太郎\""), std::string::npos) << html;
    // The document itself is left as it was: the live value still reads back.
    EXPECT_EQ(one("KanjiFamilyName").first_value(), "Yamada");
}

TEST_F(WebEnginePaneTest, SetFieldTakesSelectOptionByValueOrText) {
    pane_->write_document(kForm);
    struct Case {
        std::string set;
        std::string value;
        std::string text;
    };
    for (const Case& c : {Case{"m", "m", "男"}, Case{"女", "女", "女"}, Case{"男", "m", "男"}, Case{"nothing", "", ""}}) {
        ASSERT_TRUE(pane_->set_field("Sex", c.set));
        const auto s = one("Sex");
        ASSERT_TRUE(s.present());
        EXPECT_EQ(s.elements[0].tag, "select");
        EXPECT_EQ(s.elements[0].value, c.value) << c.set;
        EXPECT_EQ(s.elements[0].text, c.text) << c.set;
    }
}

TEST_F(WebEnginePaneTest, SetFieldWritesTextsChecksBoxesAndTellsAMissingField) {
    pane_->write_document(kForm);
    EXPECT_TRUE(pane_->set_field("KanjiFamilyName", "Orvane"));
    EXPECT_TRUE(pane_->set_field("agree", "1"));
    EXPECT_TRUE(pane_->set_field("kind", "1"));  // first radio of the name
    EXPECT_FALSE(pane_->set_field("NoSuchField", "x"));
    const auto r = pane_->read_fields({"KanjiFamilyName", "agree", "kind"});
    EXPECT_EQ(r[0].first_value(), "Orvane");
    EXPECT_TRUE(r[1].elements[0].checked);
    EXPECT_TRUE(r[2].elements[0].checked);
    EXPECT_FALSE(r[2].elements[1].checked);  // same group: the browser unchecks the other

    EXPECT_TRUE(pane_->set_field("agree", ""));
    EXPECT_FALSE(one("agree").elements[0].checked);

    ASSERT_TRUE(pane_->set_field("Sex", "女"));
    const std::string html = pane_->body_outer_html();
    EXPECT_NE(html.find("value=\"Orvane\""), std::string::npos);
    EXPECT_NE(html.find("<option selected=\"selected\">女</option>"), std::string::npos) << html;
    EXPECT_NE(html.find("value=\"x\" checked=\"checked\""), std::string::npos) << html;
    EXPECT_EQ(html.find("value=\"y\" checked"), std::string::npos) << html;
}

TEST_F(WebEnginePaneTest, FocusOnAMissingFieldIsReported) {
    pane_->write_document(kForm);
    EXPECT_FALSE(pane_->focus_field("NoSuchField"));
    EXPECT_TRUE(pane_->focus_field("KanjiGivenName"));
}

TEST_F(WebEnginePaneTest, ImageByAbsoluteLocalPathLoads) {
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(Qt::red);
    const std::string path = dir_.file("pass.png");
    ASSERT_TRUE(img.save(QString::fromStdString(path)));
    // An absolute path and one relative to the data folder; the page writes the images'
    // natural widths into a field once they are in (0 for an image that did not load).
    pane_->write_document("<html><body><img id=\"abs\" src=\"" + path +
                          "\"><img id=\"rel\" src=\"pass.png\"><input id=\"w\">"
                          "<script>window.addEventListener('load', function () {"
                          "document.getElementById('w').value = document.getElementById('abs').naturalWidth + ',' +"
                          "document.getElementById('rel').naturalWidth; });</script></body></html>");
    ASSERT_TRUE(eventually([&] { return one("w").first_value() == "7,7"; })) << one("w").first_value();
}

TEST_F(WebEnginePaneTest, NavigatesToFilesAndAboutBlankAndRefreshes) {
    const std::string page = dir_.write("index2.html", "<html><body><input name=\"answer3\" value=\"p\"></body></html>");
    pane_->navigate(page);
    EXPECT_EQ(one("answer3").first_value(), "p");
    ASSERT_TRUE(pane_->set_field("answer3", "changed"));
    pane_->refresh();
    EXPECT_EQ(one("answer3").first_value(), "p");
    pane_->navigate("about:blank");
    EXPECT_FALSE(one("answer3").present());
    EXPECT_THROW(pane_->navigate(dir_.file("missing.html")), platform::Error);
}

TEST_F(WebEnginePaneTest, BodyStyleIsAddedToTheBody) {
    pane_->write_document("<html><body style=\"color: red\"><p>x</p></body></html>");
    pane_->set_body_style("font-size: 20px; line-height: 150%");
    const std::string html = pane_->body_outer_html();
    EXPECT_NE(html.find("color: red"), std::string::npos) << html;
    EXPECT_NE(html.find("font-size: 20px"), std::string::npos) << html;
    EXPECT_NE(html.find("line-height: 150%"), std::string::npos) << html;
}

TEST_F(WebEnginePaneTest, DocumentTooBigForADataUrlIsStillWritten) {
    std::string html = "<html><body><input id=\"first\" value=\"head\">";
    const std::string row = "<p>日本語の長い行で文書を大きくします。0123456789</p>\n";
    // Just past what a data URL can carry.
    while (html.size() < 1700 * 1024) html += row;
    html += "<input id=\"last\" value=\"tail\"><img id=\"i\" src=\"none.png\"></body></html>";
    pane_->write_document(html);
    const auto r = pane_->read_fields({"first", "last"});
    EXPECT_EQ(r[0].first_value(), "head");
    EXPECT_EQ(r[1].first_value(), "tail");
}

TEST_F(WebEnginePaneTest, GeometryAndVisibilityInPixels) {
    pane_->set_geometry(10, 20, 300, 200);
    EXPECT_EQ(pane_->left(), 10);
    EXPECT_EQ(pane_->top(), 20);
    EXPECT_EQ(pane_->width(), 300);
    EXPECT_EQ(pane_->height(), 200);
    EXPECT_TRUE(pane_->visible());
    pane_->set_visible(false);
    EXPECT_FALSE(pane_->visible());
    // A hidden pane still loads and answers.
    pane_->write_document(kForm);
    EXPECT_EQ(one("KanjiGivenName").first_value(), "初期値");
}

TEST_F(WebEnginePaneTest, PrintToTheChosenPrinterReportsPrinted) {
    const std::string pdf = dir_.file("out.pdf");
    auto factory = platform::make_webengine_browsers(fakes::print_to_pdf(pdf));
    auto pane = factory->create(window_.get(), dir_.path());
    pane->write_document("<html><body><h1>試験結果</h1><p>70</p></body></html>");
    EXPECT_EQ(pane->print(), platform::PrintResult::Printed);
    QFileInfo f(QString::fromStdString(pdf));
    ASSERT_TRUE(f.exists());
    EXPECT_GT(f.size(), 0);
}

// The shipped panes always ask in the print dialog: nothing in the environment sends the
// candidate's result page anywhere else.
TEST_F(WebEnginePaneTest, PrintAsksInTheDialogWhateverTheEnvironmentSays) {
    pane_->write_document("<html><body><p>70</p></body></html>");
    const std::string pdf = dir_.file("elsewhere.pdf");
    ASSERT_EQ(setenv("LEDGRIN_PRINT_TO_PDF", pdf.c_str(), 1), 0);
    bool dialog_seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            dialog_seen = true;
            d->reject();
        }
    });
    poll.start(20);
    const platform::PrintResult r = pane_->print();
    poll.stop();
    unsetenv("LEDGRIN_PRINT_TO_PDF");
    EXPECT_TRUE(dialog_seen);
    EXPECT_EQ(r, platform::PrintResult::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pdf)));
}

TEST_F(WebEnginePaneTest, NoHandlerOfOursRunsWhileTheBridgeWaits) {
    pane_->write_document(kForm);
    // A timer as the window layer has them: it looks at the gate before its handler.
    bool in_bridge = false;
    int ran_inside = 0, held_back = 0, ran = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (platform::dispatch_blocked()) {
            ++held_back;
            return;
        }
        ++ran;
        if (in_bridge) ++ran_inside;
    });
    timer.start();
    for (int i = 0; i < 20; ++i) {
        in_bridge = true;
        pane_->read_fields({"KanjiGivenName", "answer"});
        pane_->body_outer_html();
        in_bridge = false;
        QCoreApplication::processEvents();
    }
    timer.stop();
    EXPECT_EQ(ran_inside, 0);
    EXPECT_GT(ran, 0);
    // The nested wait does deliver timer events: without the gate they would have run.
    EXPECT_GT(held_back, 0);
    EXPECT_FALSE(platform::dispatch_blocked());
}

// As a window's first page goes in before the window is shown: the loads return before
// the engine has answered, and the pane's next use waits for the page.
TEST_F(WebEnginePaneTest, StartedLoadsReturnAtOnceAndTheNextUseFindsTheirPage) {
    QWidget window;
    window.resize(400, 300);
    auto pane = factory_->create(&window, dir_.path());
    int ends = 0;
    QObject::connect(static_cast<QWebEngineView*>(pane->widget()), &QWebEngineView::loadFinished,
                     [&ends](bool) { ++ends; });
    pane->start_navigate("about:blank");
    pane->start_write_document(kForm);
    EXPECT_EQ(ends, 0) << "a started load waited for the engine";
    window.show();
    const auto r = pane->read_fields({"KanjiGivenName", "agree"});
    EXPECT_EQ(r[0].first_value(), "初期値");
    EXPECT_TRUE(r[1].present());
    // The write replaced the blank page before it was in: one end, the write's.
    EXPECT_EQ(ends, 1);

    // A waited load after a started one gets its own page.
    const std::string page = dir_.write("index.html", "<html><body><input name=\"ExamID\" value=\"7\"></body></html>");
    pane->start_navigate(page);
    pane->write_document("<html><body><input name=\"ExamPass\" value=\"p\"></body></html>");
    EXPECT_FALSE(one_of(*pane, "ExamID").present());
    EXPECT_EQ(one_of(*pane, "ExamPass").first_value(), "p");
}

// Nobody is left to tell of a started load that fails: the pane goes on as after a failure
// its caller ignored, its fields reading as missing, and takes the next page.
TEST_F(WebEnginePaneTest, AStartedLoadThatFailsLeavesAPaneThatReadsAsEmptyAndGoesOn) {
    pane_->start_navigate(dir_.file("missing.html"));
    std::vector<FieldLookup> r;
    EXPECT_NO_THROW(r = pane_->read_fields({"ExamID"}));
    ASSERT_EQ(r.size(), 1u);
    EXPECT_FALSE(r[0].present());
    pane_->write_document(kForm);
    EXPECT_EQ(one("KanjiGivenName").first_value(), "初期値");
}

TEST_F(WebEnginePaneTest, PaneWhoseWindowWasDestroyedThrows) {
    pane_->write_document(kForm);
    window_.reset();
    EXPECT_THROW(pane_->read_fields({"x"}), platform::Error);
    EXPECT_THROW(pane_->set_geometry(0, 0, 1, 1), platform::Error);
}

}  // namespace
