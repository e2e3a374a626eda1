#pragma once
// The window layer: forms with geometry in twips, default instances that are created on
// first use and unloaded after the running handler returns, timers that respect the
// dispatch gate, and the few helpers every window's code needs.
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop.h"

class QEventLoop;
class QLabel;
class QPushButton;
class QGroupBox;

namespace common {

// pixels = twips / 15, halves to the even neighbour.
int twips_to_px(double twips);
double px_to_twips(int px);

// Makes "ＭＳ Ｐゴシック" render with the installed Japanese substitute.
void install_fonts();
// Qt's own dialogs (the print dialog) speak Japanese, as the rest of the program does,
// where the translations are installed.
void install_translations();
QFont pgothic(double points, bool bold = false);
QColor rgb(int r, int g, int b);
void set_background(QWidget* w, const QColor& c);

// Runs one statement whose failure is to be ignored: the next statement runs either way.
template <class F>
void ignore_errors(F&& statement) noexcept {
    try {
        statement();
    } catch (...) {
    }
}

// Runs an event handler from the loop; an error that reaches here is written to stderr
// with the handler's name and the program goes on.
void run_handler(const char* name, const std::function<void()>& handler);

// Marks a handler of ours as running. Forms unloaded meanwhile are destroyed only once the
// outermost one has returned, so a handler that resumes after a modal dialog or a
// do_events() never finds its own form gone (a nested loop would otherwise delete it).
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

// Sets a flag for the life of a scope and clears it on every way out of it.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

// Lets pending events (and so our handlers) run once.
void do_events();

// Waits ms on the tick count, dispatching nothing meanwhile; wraps are harmless.
void wait_ticks(int32_t ms);

// Controls placed in twips relative to their parent.
void place(QWidget* w, double left, double top, double width, double height);
// Moves a control to (left, top), pixels of its parent's client area, or as much nearer the
// origin as it takes to lie wholly inside that area: positions measured from a window's
// outer size fall below its client area under a frame taller than the design's. A control
// set beyond the origin on purpose stays there.
void move_inside(QWidget* control, int left, int top);
QLabel* make_label(QWidget* parent, const std::string& text, double left, double top, double width, double height,
                   const QFont& font);
QPushButton* make_button(QWidget* parent, const std::string& caption, double left, double top, double width,
                         double height, const QFont& font);
QGroupBox* make_frame(QWidget* parent, const std::string& caption, double left, double top, double width,
                      double height, const QFont& font);
// Runs handler (through run_handler) on each click; a click that arrives while the dispatch
// gate is closed is dropped, like a timer tick.
void connect_click(QPushButton* button, const char* name, std::function<void()> handler);
// A button's caption as shown, and setting it as plain text (an '&' is no mnemonic).
std::string caption_of(const QPushButton* button);
void set_caption(QPushButton* button, const std::string& caption);
std::string text_of(const QLabel* label);
void set_text(QLabel* label, const std::string& text);

class Form : public QWidget {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);
    ~Form() override;

    // Outer geometry in twips, as the form's code set it last (or as shown): the window
    // manager's frame is inside it, so the client area is smaller by the frame.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void set_Left(double twips);
    void set_Top(double twips);
    void set_Width(double twips);
    void set_Height(double twips);
    void move_twips(double left, double top, double width, double height);
    // Client area in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // Sizes the client area in twips; the outer size follows the frame once it is known.
    void set_client_size(double width, double height);
    // Placed in the middle of the work area, frame included, each time it is shown.
    void set_start_centred(bool on) { start_centred_ = on; }
    // The frame the window manager puts around the form; zero without one.
    const platform::FrameExtents& frame() const { return frame_; }

    void set_caption(const std::string& caption);
    std::string caption() const;

    void show_modeless();
    // Shows the form application-modal and returns once it is hidden or unloaded.
    void show_modal();

    // Set when the form has been unloaded; a handler that resumes after that does nothing more.
    bool is_unloaded() const { return unloaded_; }

    // Whether the form has a taskbar entry and a control box (close, minimise and maximise
    // buttons, window menu); the window manager is told before each show. A form without a
    // control box also refuses the window manager's close request.
    void set_show_in_taskbar(bool shown) { show_in_taskbar_ = shown; }
    void set_control_box(bool on);

    // Called once by the default instance right after creation.
    virtual void Form_Load() {}

protected:
    virtual void Form_Resize() {}
    virtual void Form_Activate() {}
    // False keeps the form loaded when something outside asks it to close.
    virtual bool Form_QueryUnload() { return true; }

    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class FormSlot;
    void apply_geometry();
    // A form sized by its client area grows by the frame.
    void sync_outer_size();
    // Takes the frame as the window manager reports it now; a change moves the client area.
    void follow_frame();

    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    // Set once the form's code has placed or sized it; until then Qt's geometry stands.
    bool placed_ = false;
    bool client_sized_ = false;
    double client_width_ = 0, client_height_ = 0;
    bool start_centred_ = false;
    platform::FrameExtents frame_;
    bool show_in_taskbar_ = true;
    bool control_box_ = true;
    bool refuse_close_ = false;
    bool unloaded_ = false;
    QEventLoop* modal_loop_ = nullptr;
    std::function<void()> unload_self_;
};

// Bookkeeping shared by all default instances: how many forms are loaded, and what to
// do when the last one goes.
class FormSlot {
public:
    static int loaded_count();
    static void set_on_last_unloaded(std::function<void()> handler);

protected:
    static void loaded(Form* f, std::function<void()> unload_self);
    static void unloaded(Form* f);
};

// The single default instance of a form class.
template <class T>
class DefaultInstance : private FormSlot {
public:
    // Creates and loads the form on first use. The form may unload itself during its load;
    // the reference then stays valid until the running handler returns.
    T& get() {
        if (instance_) return *instance_;
        T* f = new T();
        instance_ = f;
        FormSlot::loaded(f, [this] { unload(); });
        HandlerScope running;
        f->Form_Load();
        return *f;
    }
    T* peek() const { return instance_; }
    bool loaded() const { return instance_ != nullptr; }
    // Hides the form at once and destroys it once control is back in the event loop;
    // the next get() loads it fresh from its design.
    void unload() {
        T* f = instance_;
        if (!f) return;
        instance_ = nullptr;
        FormSlot::unloaded(f);
    }

private:
    T* instance_ = nullptr;
};

// Destroys the forms unloaded so far (tests call this where the loop would have).
void flush_unloads();

// A timer of a form: runs its handler every interval while enabled, never while the
// dispatch gate is closed and never inside its own running handler.
class Timer : public QObject {
    Q_OBJECT
public:
    Timer(QObject* parent, const char* name, int interval_ms, bool enabled, std::function<void()> tick);
    void set_Enabled(bool on);
    bool Enabled() const { return enabled_; }
    void set_Interval(int ms);
    int Interval() const { return interval_; }
    // Runs the handler once as the loop would (tests).
    void fire();

private:
    void on_timeout();
    QTimer timer_;
    const char* name_;
    int interval_;
    bool enabled_;
    bool running_ = false;
    std::function<void()> tick_;
};

}  // namespace common
