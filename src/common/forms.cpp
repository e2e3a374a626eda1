#include "forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <vector>

#include "platform/dispatch_gate.h"
#include "platform/platform.h"
#include "platform/stacking.h"

namespace common {

int twips_to_px(double twips) { return static_cast<int>(std::nearbyint(twips / 15.0)); }

double px_to_twips(int px) { return px * 15.0; }

void install_fonts() {
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QString::fromUtf8("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
}

void install_translations() {
    static QTranslator qt_texts;
    if (qt_texts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_texts);
}

QFont pgothic(double points, bool bold) {
    QFont f(QString::fromUtf8("ＭＳ Ｐゴシック"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QColor rgb(int r, int g, int b) { return QColor(r, g, b); }

void set_background(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    // A button's face is its background; a form's colour must not leak into the faces
    // of the ordinary buttons it holds.
    if (qobject_cast<QAbstractButton*>(w)) p.setColor(QPalette::Button, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void run_handler(const char* name, const std::function<void()>& handler) {
    HandlerScope running;
    try {
        handler();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: unknown error\n", name);
    }
}

void do_events() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Qt draws a changed window only when the window system's next frame is due, which a
    // single pass never waits for: without this a label shown just before a busy wait or
    // a blocking request would not be on the screen while the window is frozen.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        QEvent sync(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(w, &sync);
    }
}

void wait_ticks(int32_t ms) {
    if (ms <= 0) return;
    auto& clock = *platform::current().clock;
    const uint32_t start = clock.tick_count();
    // Over at the first reading more than ms past the start; the thread sleeps until then
    // (no core spent, nothing dispatched) and reads again in case it woke early.
    const uint32_t deadline = start + static_cast<uint32_t>(ms) + 1u;
    while (platform::elapsed_ms(start, clock.tick_count()) <= static_cast<uint32_t>(ms)) clock.sleep_until(deadline);
}

void place(QWidget* w, double left, double top, double width, double height) {
    w->setGeometry(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

void move_inside(QWidget* control, int left, int top) {
    const QWidget* parent = control->parentWidget();
    if (!parent) {
        control->move(left, top);
        return;
    }
    // Where the control cannot lie inside at all (a window of no size yet), it stays put.
    const auto pull_in = [](int at, int size, int room) {
        return at < 0 || size > room ? at : std::min(at, room - size);
    };
    control->move(pull_in(left, control->width(), parent->width()), pull_in(top, control->height(), parent->height()));
}

QLabel* make_label(QWidget* parent, const std::string& text, double left, double top, double width, double height,
                   const QFont& font) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setFont(font);
    l->setText(QString::fromStdString(text));
    place(l, left, top, width, height);
    return l;
}

QPushButton* make_button(QWidget* parent, const std::string& caption, double left, double top, double width,
                         double height, const QFont& font) {
    auto* b = new QPushButton(parent);
    b->setFont(font);
    set_caption(b, caption);
    // Enter clicks the button that has the focus, as Space does.
    b->setAutoDefault(true);
    place(b, left, top, width, height);
    return b;
}

QGroupBox* make_frame(QWidget* parent, const std::string& caption, double left, double top, double width,
                      double height, const QFont& font) {
    auto* g = new QGroupBox(parent);
    g->setFont(font);
    g->setTitle(QString::fromStdString(caption));
    place(g, left, top, width, height);
    return g;
}

namespace {
// True when the nearest form holding the object has been unloaded.
bool owner_unloaded(const QObject* object) {
    for (QObject* o = object->parent(); o; o = o->parent()) {
        if (auto* form = qobject_cast<Form*>(o)) return form->is_unloaded();
    }
    return false;
}
}  // namespace

void connect_click(QPushButton* button, const char* name, std::function<void()> handler) {
    QObject::connect(button, &QPushButton::clicked, button, [button, name, handler = std::move(handler)] {
        if (platform::dispatch_blocked()) return;
        // A form that was unloaded lingers until the loop destroys it; its buttons are gone.
        if (owner_unloaded(button)) return;
        run_handler(name, handler);
    });
}

std::string caption_of(const QPushButton* button) {
    return button->text().replace(QLatin1String("&&"), QLatin1String("&")).toStdString();
}

void set_caption(QPushButton* button, const std::string& caption) {
    // Captions are plain text: an '&' is shown, not taken as a mnemonic.
    button->setText(QString::fromStdString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
}

std::string text_of(const QLabel* label) { return label->text().toStdString(); }

void set_text(QLabel* label, const std::string& text) { label->setText(QString::fromStdString(text)); }

// ---------------------------------------------------------------------------------------

Form::Form(QWidget* parent) : QWidget(parent, Qt::Window) { setAttribute(Qt::WA_DeleteOnClose, false); }

Form::~Form() {
    if (modal_loop_) modal_loop_->quit();
}

namespace {
// The desktop of the platform in use; none in tests that set up no platform.
platform::Desktop* own_desktop() {
    try {
        return platform::current().desktop.get();
    } catch (const platform::Error&) {
        return nullptr;
    }
}

bool operator==(const platform::FrameExtents& a, const platform::FrameExtents& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
}  // namespace

void Form::sync_outer_size() {
    if (!client_sized_) return;
    width_ = client_width_ + px_to_twips(frame_.left + frame_.right);
    height_ = client_height_ + px_to_twips(frame_.top + frame_.bottom);
}

void Form::apply_geometry() {
    placed_ = true;
    sync_outer_size();
    // The twips are the outer rectangle; the client area sits inside the frame.
    const int w = std::max(0, twips_to_px(width_) - frame_.left - frame_.right);
    const int h = std::max(0, twips_to_px(height_) - frame_.top - frame_.bottom);
    setGeometry(twips_to_px(left_) + frame_.left, twips_to_px(top_) + frame_.top, w, h);
}

void Form::follow_frame() {
    if (!isVisible()) return;
    platform::Desktop* desktop = own_desktop();
    if (!desktop) return;
    platform::FrameExtents now;
    ignore_errors([&] { now = desktop->frame_extents(this); });
    if (now == frame_) return;
    frame_ = now;
    if (placed_) apply_geometry();
}

void Form::set_Left(double twips) {
    left_ = twips;
    apply_geometry();
}
void Form::set_Top(double twips) {
    top_ = twips;
    apply_geometry();
}
void Form::set_Width(double twips) {
    width_ = std::max(0.0, twips);
    client_sized_ = false;
    apply_geometry();
}
void Form::set_Height(double twips) {
    height_ = std::max(0.0, twips);
    client_sized_ = false;
    apply_geometry();
}
void Form::move_twips(double left, double top, double width, double height) {
    left_ = left;
    top_ = top;
    width_ = std::max(0.0, width);
    height_ = std::max(0.0, height);
    client_sized_ = false;
    apply_geometry();
}

void Form::set_client_size(double width, double height) {
    client_sized_ = true;
    client_width_ = std::max(0.0, width);
    client_height_ = std::max(0.0, height);
    apply_geometry();
}

void Form::set_control_box(bool on) {
    control_box_ = on;
    if (!on) refuse_close_ = true;
}

double Form::ScaleWidth() const { return px_to_twips(width()); }
double Form::ScaleHeight() const { return px_to_twips(height()); }

void Form::set_caption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }
std::string Form::caption() const { return windowTitle().toStdString(); }

void Form::show_modeless() {
    if (unloaded_) return;
    show();
    raise();
    activateWindow();
}

void Form::show_modal() {
    if (unloaded_) return;
    QPointer<Form> self(this);
    // Above the window it was opened over, which has the focus again once it has closed.
    QPointer<QWidget> below = platform::window_below(this);
    platform::stack_above(this, below);
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    if (!isVisible()) return;
    QEventLoop loop;
    modal_loop_ = &loop;
    loop.exec();
    if (self) self->modal_loop_ = nullptr;
    platform::return_focus(below);
}

void Form::closeEvent(QCloseEvent* e) {
    // Closing from outside is the window manager's request: the form decides.
    e->ignore();
    // While a facility call waits in a nested loop no handler of ours may run, and an
    // unload then would pull the form from under the waiting call.
    if (refuse_close_ || unloaded_ || platform::dispatch_blocked()) return;
    bool agree = true;
    run_handler("Form_QueryUnload", [&] { agree = Form_QueryUnload(); });
    if (agree && unload_self_) unload_self_();
}

void Form::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    follow_frame();
    run_handler("Form_Resize", [this] { Form_Resize(); });
}

void Form::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    follow_frame();
}

void Form::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // A window manager showing the window again (from the taskbar, say) needs nothing new.
    if (e->spontaneous()) return;
    // The native window exists and is not mapped yet: what the window manager is told and
    // what it will put around the window take effect with the first map.
    if (platform::Desktop* desktop = own_desktop()) {
        const platform::WindowHints hints{show_in_taskbar_, control_box_};
        ignore_errors([&] { desktop->set_window_hints(this, hints); });
        // Qt writes its own idea of the buttons while it maps the window; ours go over it
        // once the loop turns, and the window manager takes them from there.
        // A window manager that did not say before the map what it puts around the window
        // may have said it by then.
        QMetaObject::invokeMethod(
            this,
            [this, desktop, hints] {
                if (!control_box_) ignore_errors([&] { desktop->set_window_hints(this, hints); });
                follow_frame();
            },
            Qt::QueuedConnection);
        ignore_errors([&] { frame_ = desktop->frame_extents(this); });
    }
    if (start_centred_) {
        if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
            if (!placed_ && !client_sized_) set_client_size(px_to_twips(width()), px_to_twips(height()));
            sync_outer_size();
            const QRect area = s->availableGeometry();
            left_ = px_to_twips(area.x() + (area.width() - twips_to_px(width_)) / 2);
            top_ = px_to_twips(area.y() + (area.height() - twips_to_px(height_)) / 2);
        }
    }
    if (placed_ || start_centred_) apply_geometry();
}

void Form::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (modal_loop_) modal_loop_->quit();
}

bool Form::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && !unloaded_) {
        run_handler("Form_Activate", [this] { Form_Activate(); });
    }
    return QWidget::event(e);
}

// ---------------------------------------------------------------------------------------

namespace {
int g_loaded = 0;
std::function<void()> g_on_last_unloaded;
int g_handler_depth = 0;
// Unloaded forms waiting for the running handlers to return.
std::vector<QPointer<Form>> g_pending_deletes;

void release_pending_deletes() {
    std::vector<QPointer<Form>> pending;
    pending.swap(g_pending_deletes);
    for (auto& f : pending) {
        if (f) f->deleteLater();
    }
}
}  // namespace

HandlerScope::HandlerScope() { ++g_handler_depth; }

HandlerScope::~HandlerScope() {
    if (--g_handler_depth == 0) release_pending_deletes();
}

int FormSlot::loaded_count() { return g_loaded; }

void FormSlot::set_on_last_unloaded(std::function<void()> handler) { g_on_last_unloaded = std::move(handler); }

void FormSlot::loaded(Form* f, std::function<void()> unload_self) {
    ++g_loaded;
    f->unload_self_ = std::move(unload_self);
}

void FormSlot::unloaded(Form* f) {
    f->unloaded_ = true;
    f->unload_self_ = nullptr;
    f->hide();
    g_pending_deletes.emplace_back(f);
    if (g_handler_depth == 0) release_pending_deletes();
    --g_loaded;
    if (g_loaded == 0 && g_on_last_unloaded) g_on_last_unloaded();
}

void flush_unloads() {
    release_pending_deletes();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// ---------------------------------------------------------------------------------------

Timer::Timer(QObject* parent, const char* name, int interval_ms, bool enabled, std::function<void()> tick)
    : QObject(parent), name_(name), interval_(interval_ms), enabled_(enabled), tick_(std::move(tick)) {
    timer_.setInterval(interval_ms);
    connect(&timer_, &QTimer::timeout, this, [this] { on_timeout(); });
    if (enabled_ && interval_ > 0) timer_.start();
}

void Timer::set_Enabled(bool on) {
    enabled_ = on;
    if (on && interval_ > 0)
        timer_.start();
    else
        timer_.stop();
}

void Timer::set_Interval(int ms) {
    interval_ = ms;
    timer_.setInterval(ms);
    if (ms <= 0) timer_.stop();
    else if (enabled_ && !timer_.isActive()) timer_.start();
}

void Timer::fire() { on_timeout(); }

void Timer::on_timeout() {
    if (!enabled_ || running_ || platform::dispatch_blocked()) return;
    // An unloaded form lingers until the loop destroys it; its timers are already gone.
    if (owner_unloaded(this)) return;
    running_ = true;
    QPointer<Timer> self(this);
    run_handler(name_, tick_);
    if (self) running_ = false;
}

}  // namespace common
