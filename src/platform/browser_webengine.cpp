// Browser panes on Qt WebEngine. The engine answers asynchronously; the window code
// expects a call to be done when it returns. Each call therefore waits in a nested
// event loop that takes no user input, with the dispatch gate closed so that none of
// our own timer or click handlers run in the meantime, and with a time limit so that
// a hung renderer cannot freeze the program for ever.
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>
#include <memory>

#include "backends.h"
#include "browser.h"
#include "dispatch_gate.h"
#include "error.h"
#include "print_pdf.h"

namespace platform {

namespace {

constexpr int kBridgeTimeoutMs = 10000;
constexpr int kPrintTimeoutMs = 120000;
// A document written by script takes about two seconds per megabyte.
constexpr int kBigWriteTimeoutMs = 60000;
// The engine loads setHtml()/setContent() documents through a data URL, and a URL longer
// than 2 MiB is refused. Base64 grows the text by a third.
constexpr qsizetype kMaxDataUrlHtmlBytes = (2 * 1024 * 1024 - 256) / 4 * 3;

// A call that has been handed to the engine and whose answer may still come after we
// gave up waiting; the callback then finds no loop and simply stores the answer.
struct Pending {
    bool done = false;
    QEventLoop* loop = nullptr;
    void finish() {
        done = true;
        if (loop) loop->quit();
    }
};

// Waits until p->done or the time limit; throws on time-out.
void wait_for(const std::shared_ptr<Pending>& p, const char* what, int timeout_ms = kBridgeTimeoutMs) {
    if (p->done) return;
    DispatchBlock block;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timed_out = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timed_out = true;
        loop.quit();
    });
    timer.start(timeout_ms);
    p->loop = &loop;
    while (!p->done && !timed_out) loop.exec(QEventLoop::ExcludeUserInputEvents);
    p->loop = nullptr;
    if (!p->done) throw Error(std::string("browser: no answer from the engine (") + what + ")");
}

QString js_string(const QString& s) {
    // A JSON array literal is a valid script literal; take its one element's text.
    const QByteArray a = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

QString js_string(const std::string& s) { return js_string(QString::fromStdString(s)); }

// Shared helpers of every bridge script. Each script returns one JSON text, so one
// round trip brings back everything it found, and a script error comes back as text.
const char* const kPrelude = R"JS(
var L = {
  matches: function (el, key) {
    return el.id === key || el.getAttribute('name') === key;
  },
  first: function (key) {
    var all = document.getElementsByTagName('*');
    for (var i = 0; i < all.length; i++) if (L.matches(all[i], key)) return all[i];
    return null;
  },
  value: function (el) {
    var v = el.value;
    if (typeof v === 'string') return v;
    if (typeof v === 'number') return String(v);
    return '';
  },
  describe: function (el) {
    var tag = el.tagName.toLowerCase();
    var d = { tag: tag, type: '', value: '', text: '', checked: false };
    if (tag === 'select') {
      var i = el.selectedIndex;
      if (i >= 0) { d.value = el.options[i].value; d.text = el.options[i].text; }
    } else {
      if (tag === 'input') { d.type = (el.type || 'text').toLowerCase(); d.checked = !!el.checked; }
      d.value = L.value(el);
    }
    return d;
  }
};
)JS";

QString bridge_script(const QString& body) {
    return QStringLiteral("(function(){%1\ntry {\n%2\n} catch (e) { return JSON.stringify({ok:false, error:String(e)}); }\n})()")
        .arg(QString::fromUtf8(kPrelude), body);
}

class WebEnginePane final : public BrowserPane {
public:
    WebEnginePane(QWidget* parent, const std::string& data_folder)
        : view_(new QWebEngineView(parent)), base_(QUrl::fromLocalFile(QString::fromStdString(data_folder))) {
        auto* s = view_->settings();
        // Written documents have the data folder as base and show its images by path.
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this](bool ok) {
            if (load_) {
                load_->ok = ok;
                load_->p->finish();
            }
        });
        // A child control is shown with its form unless hidden; a pane without a parent
        // would be a window of its own and stays hidden until asked.
        if (parent) view_->setVisible(true);
    }

    ~WebEnginePane() override {
        if (view_) delete view_.data();
    }

    void navigate(const std::string& address) override {
        const QString a = QString::fromStdString(address);
        QUrl url;
        if (a.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0) {
            url = QUrl(QStringLiteral("about:blank"));
        } else if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            url = QUrl(a);
        } else {
            url = QUrl::fromLocalFile(QFileInfo(a).absoluteFilePath());
        }
        load([&] { v().load(url); }, "navigate");
    }

    void refresh() override {
        ensure_document();
        load([&] { v().page()->triggerAction(QWebEnginePage::Reload); }, "refresh");
    }

    void write_document(const std::string& html) override {
        const QByteArray bytes = QByteArray::fromStdString(html);
        if (bytes.size() <= kMaxDataUrlHtmlBytes) {
            load([&] { v().page()->setContent(bytes, QStringLiteral("text/html;charset=UTF-8"), base_); },
                 "write document");
            return;
        }
        // Too big for a data URL: start from an empty document with the same base and
        // let the document itself be written over it.
        load([&] { v().page()->setContent(QByteArray(), QStringLiteral("text/html;charset=UTF-8"), base_); },
             "write document");
        const QJsonObject r = run(QStringLiteral("document.open(); document.write(%1); document.close();"
                                                 "return JSON.stringify({ok:true});")
                                      .arg(js_string(QString::fromUtf8(bytes))),
                                  "write document", kBigWriteTimeoutMs);
        (void)r;
        has_document_ = true;
    }

    std::vector<FieldLookup> read_fields(const std::vector<std::string>& keys) override {
        std::vector<FieldLookup> out;
        out.reserve(keys.size());
        QJsonArray jkeys;
        for (const auto& k : keys) {
            out.push_back(FieldLookup{k, {}});
            jkeys.append(QString::fromStdString(k));
        }
        if (keys.empty()) return out;
        const QString keys_literal = QString::fromUtf8(QJsonDocument(jkeys).toJson(QJsonDocument::Compact));
        const QJsonObject r = run(QStringLiteral(R"JS(
var keys = %1;
var out = keys.map(function () { return []; });
var all = document.getElementsByTagName('*');
for (var i = 0; i < all.length; i++) {
  var el = all[i], d = null;
  for (var k = 0; k < keys.length; k++) {
    if (L.matches(el, keys[k])) { if (!d) d = L.describe(el); out[k].push(d); }
  }
}
return JSON.stringify({ok:true, fields:out});
)JS")
                                      .arg(keys_literal),
                                  "read fields");
        const QJsonArray fields = r.value(QLatin1String("fields")).toArray();
        for (size_t k = 0; k < out.size() && k < static_cast<size_t>(fields.size()); ++k) {
            for (const auto& e : fields.at(static_cast<qsizetype>(k)).toArray()) {
                const QJsonObject o = e.toObject();
                FieldValue f;
                f.tag = o.value(QLatin1String("tag")).toString().toStdString();
                f.type = o.value(QLatin1String("type")).toString().toStdString();
                f.value = o.value(QLatin1String("value")).toString().toStdString();
                f.text = o.value(QLatin1String("text")).toString().toStdString();
                f.checked = o.value(QLatin1String("checked")).toBool();
                out[k].elements.push_back(std::move(f));
            }
        }
        return out;
    }

    bool set_field(const std::string& key, const std::string& value) override {
        const QJsonObject r = run(QStringLiteral(R"JS(
var el = L.first(%1), v = %2;
if (!el) return JSON.stringify({ok:true, found:false});
var tag = el.tagName.toLowerCase();
if (tag === 'select') {
  var pick = -1;
  for (var i = 0; i < el.options.length && pick < 0; i++) if (el.options[i].value === v) pick = i;
  for (var i = 0; i < el.options.length && pick < 0; i++) if (el.options[i].text === v) pick = i;
  el.selectedIndex = pick;
} else if (tag === 'input' && (el.type === 'checkbox' || el.type === 'radio')) {
  el.checked = v !== '';
} else {
  el.value = v;
}
return JSON.stringify({ok:true, found:true});
)JS")
                                      .arg(js_string(key), js_string(value)),
                                  "set field");
        return r.value(QLatin1String("found")).toBool();
    }

    bool focus_field(const std::string& key) override {
        // The view takes the keyboard first, so that typing reaches the element.
        ensure_document();
        if (v().window() && v().window()->isActiveWindow()) v().setFocus(Qt::OtherFocusReason);
        const QJsonObject r = run(QStringLiteral(R"JS(
var el = L.first(%1);
if (!el) return JSON.stringify({ok:true, found:false});
el.focus();
return JSON.stringify({ok:true, found:true});
)JS")
                                      .arg(js_string(key)),
                                  "focus field");
        return r.value(QLatin1String("found")).toBool();
    }

    std::string body_outer_html() override {
        // outerHTML shows what the markup said, not what the candidate typed; a copy of
        // the body gets the live state written into its attributes first.
        const QJsonObject r = run(QStringLiteral(R"JS(
var body = document.body;
if (!body) return JSON.stringify({ok:false, error:'the document has no body'});
var copy = body.cloneNode(true);
var sel = 'input, select, textarea';
var live = body.querySelectorAll(sel), dead = copy.querySelectorAll(sel);
for (var i = 0; i < live.length && i < dead.length; i++) {
  var a = live[i], b = dead[i], tag = a.tagName.toLowerCase();
  if (tag === 'select') {
    for (var j = 0; j < a.options.length && j < b.options.length; j++) {
      if (a.options[j].selected) b.options[j].setAttribute('selected', 'selected');
      else b.options[j].removeAttribute('selected');
    }
  } else if (tag === 'textarea') {
    b.textContent = a.value;
  } else if (a.type === 'checkbox' || a.type === 'radio') {
    if (a.checked) b.setAttribute('checked', 'checked'); else b.removeAttribute('checked');
  } else if (a.type !== 'file') {
    b.setAttribute('value', a.value);
  }
}
return JSON.stringify({ok:true, html:copy.outerHTML});
)JS"),
                                  "body outer html");
        return r.value(QLatin1String("html")).toString().toStdString();
    }

    void set_body_style(const std::string& css) override {
        run(QStringLiteral(R"JS(
var body = document.body;
if (!body) return JSON.stringify({ok:false, error:'the document has no body'});
var t = document.createElement('div');
t.style.cssText = %1;
for (var i = 0; i < t.style.length; i++) {
  var n = t.style[i];
  body.style.setProperty(n, t.style.getPropertyValue(n), t.style.getPropertyPriority(n));
}
return JSON.stringify({ok:true});
)JS")
                .arg(js_string(css)),
            "set body style");
    }

    PrintResult print() override {
        ensure_document();
        // The engine renders the job after print() returns and uses the printer until it
        // reports the end, which may be after we gave up waiting: the printer lives with
        // the connection that hears that end.
        auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        const QByteArray pdf = qgetenv("LEDGRIN_PRINT_TO_PDF");
        if (!pdf.isEmpty()) {
            // Scripted runs and tests: straight to a file, no dialog.
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromLocal8Bit(pdf));
        } else {
            QPrintDialog dialog(printer.get(), view_);
            if (dialog.exec() != QDialog::Accepted) return PrintResult::Cancelled;
            if (!view_) throw Error("browser: the pane was destroyed while its print dialog was open");
        }
        return send_to_printer(*printer, page_pdf(*printer)) ? PrintResult::Printed : PrintResult::Failed;
    }

    void set_geometry(int x, int y, int width, int height) override { v().setGeometry(x, y, width, height); }
    int left() const override { return cv().x(); }
    int top() const override { return cv().y(); }
    int width() const override { return cv().width(); }
    int height() const override { return cv().height(); }
    void set_visible(bool visible) override { v().setVisible(visible); }
    bool visible() const override { return !cv().isHidden(); }
    QWidget* widget() override { return view_; }

private:
    // The engine's own PDF of the page, laid out for the printer chosen: its texts stay
    // text, where the engine's printing to a QPrinter would send pictures of the pages.
    QByteArray page_pdf(const QPrinter& printer) {
        struct PdfPending : Pending {
            QByteArray pdf;
        };
        auto p = std::make_shared<PdfPending>();
        v().page()->printToPdf(
            [p](const QByteArray& pdf) {
                p->pdf = pdf;
                p->finish();
            },
            printer.pageLayout(), printer.pageRanges());
        wait_for(p, "print", kPrintTimeoutMs);
        if (p->pdf.isEmpty()) throw Error("browser: the page gave no PDF to print");
        return p->pdf;
    }

    bool send_to_printer(const QPrinter& printer, const QByteArray& pdf) {
        const QString title = cv().title();
        if (printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty())
            return write_pdf_file(printer.outputFileName(), pdf);
        return print_pdf_on_cups(printer, title, pdf);
    }

    struct LoadPending {
        std::shared_ptr<Pending> p = std::make_shared<Pending>();
        bool ok = false;
    };

    QWebEngineView& v() {
        if (!view_) throw Error("browser: the pane's window has been destroyed");
        return *view_;
    }
    const QWebEngineView& cv() const {
        if (!view_) throw Error("browser: the pane's window has been destroyed");
        return *view_;
    }

    template <class Start>
    void load(Start start, const char* what) {
        auto lp = std::make_shared<LoadPending>();
        load_ = lp;
        try {
            start();
            wait_for(lp->p, what);
        } catch (...) {
            load_.reset();
            throw;
        }
        load_.reset();
        has_document_ = true;
        if (!lp->ok) throw Error(std::string("browser: the page could not be loaded (") + what + ")");
    }

    // A fresh engine view has no document to run scripts in until its first load.
    void ensure_document() {
        if (!has_document_) load([&] { v().load(QUrl(QStringLiteral("about:blank"))); }, "first document");
    }

    QJsonObject run(const QString& body, const char* what, int timeout_ms = kBridgeTimeoutMs) {
        ensure_document();
        struct RunPending : Pending {
            QVariant result;
        };
        auto p = std::make_shared<RunPending>();
        v().page()->runJavaScript(bridge_script(body), QWebEngineScript::MainWorld, [p](const QVariant& r) {
            p->result = r;
            p->finish();
        });
        wait_for(p, what, timeout_ms);
        const QJsonDocument doc = QJsonDocument::fromJson(p->result.toString().toUtf8());
        if (!doc.isObject()) throw Error(std::string("browser: the page gave no answer (") + what + ")");
        const QJsonObject o = doc.object();
        if (!o.value(QLatin1String("ok")).toBool()) {
            throw Error(std::string("browser: ") + what + ": " +
                        o.value(QLatin1String("error")).toString().toStdString());
        }
        return o;
    }

    QPointer<QWebEngineView> view_;
    QUrl base_;
    std::shared_ptr<LoadPending> load_;
    bool has_document_ = false;
};

class WebEngineBrowsers final : public BrowserFactory {
public:
    std::unique_ptr<BrowserPane> create(QWidget* parent, const std::string& data_folder) override {
        return std::make_unique<WebEnginePane>(parent, data_folder);
    }
};

}  // namespace

std::unique_ptr<BrowserFactory> make_webengine_browsers() { return std::make_unique<WebEngineBrowsers>(); }

}  // namespace platform
