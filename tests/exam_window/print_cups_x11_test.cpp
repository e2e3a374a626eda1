// The result page printed as a candidate prints it: "結果印刷", "はい", then the real print
// dialog, answered with the keyboard, to a real print queue (a CUPS server of the test's
// own with a PDF queue). The PDF that comes out holds the page's texts and the flag that
// spares the warning at the end follows; a cancelled dialog prints nothing and leaves it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

#include "common/state.h"
#include "common/windows.h"
#include "exam_window/result_page.h"
#include "main_window/install.h"
#include "main_window/main_window_fixture.h"
#include "platform/backends.h"
#include "support/cups_pdf_queue.h"
#include "support/db_fixture.h"

#include "support/modal_watcher.h"
#include "support/x11_desktop.h"

namespace {

namespace fs = std::filesystem;
using fakes::wait_until;
using fakes::xid;

using PrintDialogWatcher = fakes::ModalWatcher<QPrintDialog>;

std::string pdf_text(const std::string& pdf) {
    std::string text;
    if (FILE* p = ::popen(("pdftotext -enc UTF-8 '" + pdf + "' -").c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
        ::pclose(p);
    }
    return text;
}

class PrintToCups : public mw_test::MainWindowTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
        // Before anything in this process asks for printers.
        queue = std::make_unique<fakes::CupsPdfQueue>();
        if (!queue->skip_reason().empty()) GTEST_SKIP() << queue->skip_reason();
        MainWindowTest::SetUp();
        started = true;
        common::install_fonts();
        x = std::make_unique<fakes::X11Desktop>();
        ASSERT_NE(x->display(), nullptr);
        fp_.platform.clock = platform::make_boottime_clock();
        fp_.platform.screen = platform::make_qt_screen();
        fp_.platform.desktop = platform::make_x11_desktop();
        fp_.platform.browsers = platform::make_webengine_browsers();
        const std::string shipped = fakes::shipped_data_folder();
        const std::string data = common::state().data_path;
        for (const char* file : {"qfile.dat", "pass.gif", "sample.png"}) fs::copy_file(shipped + file, data + file);
        main_window::install();
    }

    void TearDown() override {
        if (started) MainWindowTest::TearDown();
        x.reset();
        queue.reset();
    }

    // The main window as the end sequence hands it back: the result page, the last stage,
    // the print button, above the other windows.
    main_window::frmMain& result_window() {
        auto& f = main_window::main_form().get();
        exam_window::ResultPageValues values;
        values.kanji_name = "長谷川 花子";
        values.test_center = "試験リハーサル";
        values.test_name = "Ledgrin";
        values.start_time = "2024/04/01 10:00";
        values.data_path = common::state().data_path;
        const auto page = exam_window::build_result_page(common::state().screen_html[6], values);
        f.main_browser().navigate("about:blank");
        f.main_browser().write_document(page.html);
        f.set_stage_caption("試験終了");
        f.set_print_button_visible(true);
        f.show_topmost_at_origin();
        EXPECT_TRUE(wait_until([&] { return x->has_focus(xid(&f)); }));
        return f;
    }

    // "結果印刷" answered "はい", then the print dialog as `answer` handles it.
    void print(main_window::frmMain& f, KeySym answer) {
        fp_.message_box->answers = {platform::MbResult::Yes};
        PrintDialogWatcher watcher([&](QPrintDialog* dialog) {
            EXPECT_EQ(dialog->printer()->printerName().toStdString(), queue->queue());
            EXPECT_TRUE(wait_until([&] { return x->has_focus(xid(dialog)); })) << "the print dialog has no focus";
            x->key(answer);
        });
        f.cmdPrint->click();
        EXPECT_TRUE(watcher.acted()) << "no print dialog";
        EXPECT_TRUE(f.cmdPrint->isEnabled());
    }

    std::unique_ptr<fakes::CupsPdfQueue> queue;
    std::unique_ptr<fakes::X11Desktop> x;
    bool started = false;
};

TEST_F(PrintToCups, ResultPageThroughThePrintDialogIntoTheQueue) {
    auto& f = result_window();
    ASSERT_FALSE(common::main_values().printed_flag);

    // Escape: nothing is printed, and the warning at the end stays.
    const int jobs_before = queue->jobs();
    print(f, XK_Escape);
    EXPECT_FALSE(common::main_values().printed_flag);
    EXPECT_EQ(queue->jobs(), jobs_before);
    EXPECT_TRUE(queue->pdfs().empty());

    // Enter prints to the default printer, the PDF queue.
    print(f, XK_Return);
    EXPECT_TRUE(common::main_values().printed_flag);
    ASSERT_TRUE(queue->wait_for_pdfs(0, std::chrono::seconds(120))) << "no PDF came out of the queue";
    ASSERT_EQ(queue->pdfs().size(), 1u);
    EXPECT_GT(fs::file_size(queue->pdfs().front()), 0u);
    // The queue was sent the page as a PDF with its texts.
    const auto documents = queue->job_documents();
    ASSERT_EQ(documents.size(), 1u);
    const std::string text = pdf_text(documents.front());
    for (const char* shown : {"試験結果", "長谷川 花子", "試験リハーサル", "2024/04/01 10:00", "合計", "70"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << " is not in the printed page:\n" << text;
}

}  // namespace
