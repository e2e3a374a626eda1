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
#include <cstdio>
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

// Helpers of the bridge scripts. They are sent along with the first script into each
// document and stay in the isolated world our scripts run in, where the page's own
// scripts neither see nor disturb them; later scripts find them there. Each script
// returns one JSON text, so one round trip brings back everything it found, and a
// script error comes back as text.
const char* const kHelpers = R"JS(
var L = {
  version: 1,
  // For each key, the elements whose id or name is that key, in document order: one
  // selector query for all keys, then each element handed to the keys it bears exactly.
  // Plain loops without closures: each script runs once, cold.
  find: function (keys) {
    var out = [], at = Object.create(null), parts = [], k, key, last = null;
    for (k = 0; k < keys.length; k++) {
      out.push([]);
      key = keys[k];
      if (key === '') continue;
      if (!at[key]) {
        at[key] = [];
        last = key;
        var q = CSS.escape(key);
        parts.push('[id="' + q + '"],[name="' + q + '"]');
      }
      at[key].push(k);
    }
    if (!parts.length) return out;
    var found = document.querySelectorAll(parts.join(','));
    // One key (a key with a NUL aside, which the escape cannot carry): whatever the query
    // found bears it.
    var only = parts.length === 1 && last.indexOf('\0') < 0 ? at[last] : null;
    for (var i = 0; i < found.length; i++) {
      var el = found[i], to, j;
      if (only) {
        for (j = 0; j < only.length; j++) out[only[j]].push(el);
        continue;
      }
      var id = el.id, name = el.getAttribute('name');
      to = at[id];
      if (to) for (j = 0; j < to.length; j++) out[to[j]].push(el);
      to = name !== null && name !== id ? at[name] : undefined;
      if (to) for (j = 0; j < to.length; j++) out[to[j]].push(el);
    }
    return out;
  },
  first: function (key) {
    return L.find([key])[0][0] || null;
  },
  value: function (el) {
    var v = el.value;
    if (typeof v === 'string') return v;
    if (typeof v === 'number') return String(v);
    return '';
  },
  // [tag, type, value, text, checked]: short to write and to read back.
  // Each property read is a call into the page, so only what tells something is read.
  describe: function (el) {
    var tag = el.tagName.toLowerCase();
    if (tag === 'input') {
      var type = el.type;  // lower case, "text" when unknown
      return [tag, type, el.value, '', (type === 'checkbox' || type === 'radio') && el.checked ? 1 : 0];
    }
    if (tag === 'select') {
      var i = el.selectedIndex, o = i >= 0 ? el.options[i] : null;
      return [tag, '', o ? o.value : '', o ? o.text : '', 0];
    }
    return [tag, '', L.value(el), '', 0];
  }
};
)JS";

// A script of the bridge; answers {missing:true} in a document that lacks the helpers.
QString bridge_script(const QString& body) {
    return QStringLiteral("(function(){\nif (typeof L !== 'object' || !L || L.version !== 1) "
                          "return JSON.stringify({ok:false, missing:true});\ntry {\n%1\n} catch (e) { "
                          "return JSON.stringify({ok:false, error:String(e)}); }\n})()")
        .arg(body);
}

const QString& helpers_script() {
    static const QString text = QString::fromUtf8(kHelpers);
    return text;
}

bool choose_in_print_dialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

class WebEnginePane final : public BrowserPane {
public:
    WebEnginePane(QWidget* parent, const std::string& data_folder, PrinterChoice choose_printer)
        : view_(new QWebEngineView(parent)),
          base_(QUrl::fromLocalFile(QString::fromStdString(data_folder))),
          choose_printer_(std::move(choose_printer)) {
        auto* s = view_->settings();
        // Written documents have the data folder as base and show its images by path.
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
        // A new document starts without the helpers.
        QObject::connect(view_, &QWebEngineView::loadStarted, view_, [this] { helpers_sent_ = false; });
        QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this](bool ok) {
            // The end of a load that a newer one replaced, were the engine to report it.
            if (view_->page()->isLoading()) return;
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

    enum class Wait { UntilLoaded, Later };

    void navigate(const std::string& address, Wait wait) {
        const QString a = QString::fromStdString(address);
        QUrl url;
        if (a.compare(QLatin1String("about:blank"), Qt::CaseInsensitive) == 0) {
            url = QUrl(QStringLiteral("about:blank"));
        } else if (a.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            url = QUrl(a);
        } else {
            url = QUrl::fromLocalFile(QFileInfo(a).absoluteFilePath());
        }
        load([&] { v().load(url); }, "navigate", wait);
    }

    void navigate(const std::string& address) override { navigate(address, Wait::UntilLoaded); }
    void start_navigate(const std::string& address) override { navigate(address, Wait::Later); }
    void write_document(const std::string& html) override { write_document(html, Wait::UntilLoaded); }
    void start_write_document(const std::string& html) override { write_document(html, Wait::Later); }

    void refresh() override {
        ensure_document();
        load([&] { v().page()->triggerAction(QWebEnginePage::Reload); }, "refresh");
    }

    void write_document(const std::string& html, Wait wait) {
        const QByteArray bytes = QByteArray::fromStdString(html);
        if (bytes.size() <= kMaxDataUrlHtmlBytes) {
            load([&] { v().page()->setContent(bytes, QStringLiteral("text/html;charset=UTF-8"), base_); },
                 "write document", wait);
            return;
        }
        // Too big for a data URL: start from an empty document with the same base and
        // let the document itself be written over it, once that one is in; so this
        // waits, whatever was asked.
        load([&] { v().page()->setContent(QByteArray(), QStringLiteral("text/html;charset=UTF-8"), base_); },
             "write document");
        // Only whether it ran counts: a failure throws.
        run(QStringLiteral("document.open(); document.write(%1); document.close();"
                           "return JSON.stringify({ok:true});")
                .arg(js_string(QString::fromUtf8(bytes))),
            "write document", kBigWriteTimeoutMs);
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
var found = L.find(%1), out = [];
for (var k = 0; k < found.length; k++) {
  var d = [];
  for (var i = 0; i < found[k].length; i++) d.push(L.describe(found[k][i]));
  out.push(d);
}
return JSON.stringify({ok:true, fields:out});
)JS")
                                      .arg(keys_literal),
                                  "read fields");
        const QJsonArray fields = r.value(QLatin1String("fields")).toArray();
        for (size_t k = 0; k < out.size() && k < static_cast<size_t>(fields.size()); ++k) {
            for (const auto& e : fields.at(static_cast<qsizetype>(k)).toArray()) {
                const QJsonArray d = e.toArray();
                FieldValue f;
                f.tag = d.at(0).toString().toStdString();
                f.type = d.at(1).toString().toStdString();
                f.value = d.at(2).toString().toStdString();
                f.text = d.at(3).toString().toStdString();
                f.checked = d.at(4).toInt() != 0;
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
        QPrinter printer(QPrinter::HighResolution);
        if (!choose_printer_(printer, view_)) return PrintResult::Cancelled;
        if (!view_) throw Error("browser: the pane was destroyed while its print dialog was open");
        return send_to_printer(printer, page_pdf(printer)) ? PrintResult::Printed : PrintResult::Failed;
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
        const char* what = "";
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
    void load(Start start, const char* what, Wait wait = Wait::UntilLoaded) {
        // A load still under way is replaced by this one, as the engine replaces it: the
        // engine then reports one end, this one's, which no longer belongs to the other.
        if (load_ && !load_->p->done) load_.reset();
        settle();
        auto lp = std::make_shared<LoadPending>();
        lp->what = what;
        load_ = lp;
        try {
            start();
            if (wait == Wait::Later) {
                has_document_ = true;
                return;
            }
            wait_for(lp->p, what);
        } catch (...) {
            load_.reset();
            throw;
        }
        load_.reset();
        has_document_ = true;
        if (!lp->ok) throw Error(std::string("browser: the page could not be loaded (") + what + ")");
    }

    // Waits for a load that was started without waiting. Its caller has long returned, so
    // a failure is only written to the log, and the pane goes on with whatever the engine
    // shows.
    void settle() {
        if (!load_) return;
        const std::shared_ptr<LoadPending> lp = load_;
        try {
            wait_for(lp->p, lp->what);
            if (!lp->ok) std::fprintf(stderr, "browser: the page could not be loaded (%s)\n", lp->what);
        } catch (const Error& e) {
            std::fprintf(stderr, "%s\n", e.what());
        }
        load_.reset();
    }

    // A fresh engine view has no document to run scripts in until its first load.
    void ensure_document() {
        settle();
        if (!has_document_) load([&] { v().load(QUrl(QStringLiteral("about:blank"))); }, "first document");
    }

    QJsonObject run(const QString& body, const char* what, int timeout_ms = kBridgeTimeoutMs) {
        ensure_document();
        const QString script = bridge_script(body);
        QJsonObject o = run_script(helpers_sent_ ? script : helpers_script() + script, what, timeout_ms);
        // A document replaced without our noticing: once more, with the helpers.
        if (o.value(QLatin1String("missing")).toBool()) o = run_script(helpers_script() + script, what, timeout_ms);
        helpers_sent_ = true;
        if (!o.value(QLatin1String("ok")).toBool()) {
            throw Error(std::string("browser: ") + what + ": " +
                        o.value(QLatin1String("error")).toString().toStdString());
        }
        return o;
    }

    QJsonObject run_script(const QString& script, const char* what, int timeout_ms) {
        struct RunPending : Pending {
            QVariant result;
        };
        auto p = std::make_shared<RunPending>();
        v().page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [p](const QVariant& r) {
            p->result = r;
            p->finish();
        });
        wait_for(p, what, timeout_ms);
        const QJsonDocument doc = QJsonDocument::fromJson(p->result.toString().toUtf8());
        if (!doc.isObject()) throw Error(std::string("browser: the page gave no answer (") + what + ")");
        return doc.object();
    }

    QPointer<QWebEngineView> view_;
    QUrl base_;
    std::shared_ptr<LoadPending> load_;
    bool has_document_ = false;
    PrinterChoice choose_printer_;
    bool helpers_sent_ = false;  // into the current document
};

class WebEngineBrowsers final : public BrowserFactory {
public:
    explicit WebEngineBrowsers(PrinterChoice choose_printer) : choose_printer_(std::move(choose_printer)) {}
    std::unique_ptr<BrowserPane> create(QWidget* parent, const std::string& data_folder) override {
        return std::make_unique<WebEnginePane>(parent, data_folder, choose_printer_);
    }

private:
    PrinterChoice choose_printer_;
};

}  // namespace

std::unique_ptr<BrowserFactory> make_webengine_browsers() { return make_webengine_browsers(choose_in_print_dialog); }

std::unique_ptr<BrowserFactory> make_webengine_browsers(PrinterChoice choose_printer) {
    return std::make_unique<WebEngineBrowsers>(std::move(choose_printer));
}

}  // namespace platform
