// The examination window on the real web engine, with the question pages built from the
// shipped questions: the marking reads of the three pages, the end sequence up to its
// upload request, and the processor time the wait of the start stage takes.
//
// Floors: one bare script per page that hands back the values of its answer fields, run
// on the same panes; for the end sequence the work it cannot do without: one redraw of
// the window with its wait message, the second page shown and the same bare reads. The
// wait is judged by itself (it should cost next to nothing).
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.h"
#include "common/forms.h"
#include "common/startup.h"
#include "common/state.h"
#include "exam_window/end_sequence.h"
#include "exam_window/frm_kaikei.h"
#include "exam_window/install.h"
#include "main_window/page_builder.h"
#include "platform/backends.h"
#include "support/fake_platform.h"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

constexpr int kWindows = 5;           // examination windows loaded, one end sequence each
constexpr int kReadsPerWindow = 20;   // marking reads (and bare reads) per window
const char* const kAnswerNames[3] = {"answer", "answer3", "answer4"};

double ms_between(Steady::time_point a, Steady::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Stamps the first request, so the end sequence can be timed up to its upload.
class StampingHttp : public fakes::FakeHttp {
public:
    platform::HttpAnswer get(const std::string& url, const std::string& agent, const std::string& header) override {
        if (!stamped) {
            stamped = true;
            at = Steady::now();
        }
        return fakes::FakeHttp::get(url, agent, header);
    }
    bool stamped = false;
    Steady::time_point at;
};

// The values of the fields of one name, as one bare script on the pane's page.
void bare_read(platform::BrowserPane& pane, const char* name) {
    auto* view = qobject_cast<QWebEngineView*>(pane.widget());
    if (!view) throw std::runtime_error("a pane without a web view");
    bool done = false;
    QString got;
    QEventLoop loop;
    view->page()->runJavaScript(
        QStringLiteral("JSON.stringify(Array.from(document.getElementsByName('%1'), function (e) { return e.value; }))")
            .arg(QLatin1String(name)),
        [&](const QVariant& r) {
            got = r.toString();
            done = true;
            loop.quit();
        });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!done || got.size() < 2) throw std::runtime_error("the bare read got no answer");
}

double bare_reads_ms(exam_window::frmKaikei& f) {
    const auto start = Steady::now();
    for (int n = 1; n <= 3; ++n) bare_read(f.question_pane(n), kAnswerNames[n - 1]);
    return ms_between(start, Steady::now());
}

// What the end sequence cannot do without before its upload: the window redrawn once
// with the wait message in place of the remaining time, the second page shown, and the
// three pages read (the second one then waits for the engine to draw it).
double end_floor_ms(exam_window::frmKaikei& f) {
    const auto start = Steady::now();
    f.lblRemaining->hide();
    f.Command1->hide();
    f.lblWaitMsg->show();
    QCoreApplication::processEvents();
    f.wbQuestion2->set_visible(true);  // as the sequence shows the second page before reading it
    bare_reads_ms(f);
    const double took = ms_between(start, Steady::now());
    f.wbQuestion2->set_visible(false);
    // Back as the window was, for the sequence itself.
    f.lblWaitMsg->hide();
    f.lblRemaining->show();
    f.Command1->show();
    QCoreApplication::processEvents();
    return took;
}

double marking_reads_ms(exam_window::frmKaikei& f) {
    const auto start = Steady::now();
    for (int n = 1; n <= 3; ++n) {
        const auto found = f.question_pane(n).read_fields({kAnswerNames[n - 1]});
        if (found.empty() || !found.front().present()) throw std::runtime_error("a page without its answer fields");
    }
    return ms_between(start, Steady::now());
}

double cpu_ms() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    // The engine's start-up report would bury the figures.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    common::install_fonts();

    fakes::FakePlatform fp;
    fp.platform.browsers = platform::make_webengine_browsers();
    fp.platform.database = platform::make_sqlcipher_engine();
    fp.platform.random = platform::make_std_random(*fp.clock);
    auto http = std::make_unique<StampingHttp>();
    StampingHttp& stamps = *http;
    fp.platform.http = std::move(http);

    const std::string data = fp.system->program_folder() + "data/";
    for (const char* file : {"qfile.dat", "exam.dat", "pass.gif", "sample.png"})
        fs::copy_file(std::string(LEDGRIN_BENCH_DATA "/") + file, data + file);

    common::reset_state();
    auto& s = common::state();
    s.data_path = data;
    s.db_password = common::kDbPassword;
    s.result_url = "https://127.0.0.1/api/grade/result";
    s.user_agent = common::kUserAgent;
    s.rehearsal_mode = false;
    s.result_path = fp.root.folder("result");
    for (const auto& row : fp.platform.database->open(data + "qfile.dat", s.db_password)
                               ->query("select * from gamen order by id asc"))
        if (row.field("id") == std::optional<std::string>("6")) s.screen_html[6] = row.field("gamen").value_or("");
    exam_window::install();

    int status = 0;
    try {
        if (!main_window::build_question_pages()) throw std::runtime_error("the question pages could not be built");

        std::vector<double> reads, bare, ends, end_floors;
        for (int w = 0; w < kWindows; ++w) {
            s.exam_ended = false;
            exam_window::frmKaikei& f = exam_window::kaikei().get();
            f.show_modeless();
            f.page_opened = {false, true, true};
            for (int i = 0; i < kReadsPerWindow; ++i) {
                reads.push_back(marking_reads_ms(f));
                bare.push_back(bare_reads_ms(f));
            }
            end_floors.push_back(end_floor_ms(f));

            f.Timer1->set_Enabled(false);
            f.block_unload = false;
            stamps.stamped = false;
            stamps.answer("OK");
            const auto start = Steady::now();
            exam_window::end_syori(f);
            if (!stamps.stamped) throw std::runtime_error("the end sequence sent no result");
            ends.push_back(ms_between(start, stamps.at));
            common::flush_unloads();
        }
        bench::report("marking reads of the three pages", bench::median(reads), bench::median(bare), "ms");
        bench::report("end sequence up to the upload", bench::median(ends),
                      bench::median(end_floors), "ms");

        // The start stage's wait, on the real clock.
        fp.platform.clock = platform::make_boottime_clock();
        std::vector<double> share, wall;
        for (int i = 0; i < 3; ++i) {
            const double cpu0 = cpu_ms();
            const auto start = Steady::now();
            common::wait_ticks(3000);
            const double took = ms_between(start, Steady::now());
            wall.push_back(took);
            share.push_back((cpu_ms() - cpu0) / took * 100.0);
        }
        bench::report("wait of the start stage, wall time", bench::median(wall), 3000, "ms");
        bench::report("CPU during the 3-s wait of 試験開始, % of a core", bench::median(share), 0, "%");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "exam_bench: %s\n", e.what());
        status = 1;
    }
    if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
    common::flush_unloads();
    return status;
}
