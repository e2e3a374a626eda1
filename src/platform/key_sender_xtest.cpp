// Key strokes synthesised as if typed, through the XTest extension.
#include <memory>

#include "backends.h"
#include "desktop.h"

// Xlib's macros clash with names in our headers, so it comes last.
#include "x11_connection.h"
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace platform {

namespace {

// Virtual-key codes, as the programs name keys, to the X key symbol of the same key.
KeySym keysym_for(uint8_t vk) {
    if (vk >= 0x30 && vk <= 0x39) return XK_0 + (vk - 0x30);
    if (vk >= 0x41 && vk <= 0x5A) return XK_a + (vk - 0x41);
    if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
    switch (vk) {
        case 0x08: return XK_BackSpace;
        case 0x09: return XK_Tab;
        case 0x0D: return XK_Return;
        case 0x10: return XK_Shift_L;
        case 0x11: return XK_Control_L;
        case 0x12: return XK_Alt_L;
        case 0x13: return XK_Pause;
        case 0x14: return XK_Caps_Lock;
        case 0x1B: return XK_Escape;
        case 0x20: return XK_space;
        case 0x21: return XK_Prior;
        case 0x22: return XK_Next;
        case 0x23: return XK_End;
        case 0x24: return XK_Home;
        case 0x25: return XK_Left;
        case 0x26: return XK_Up;
        case 0x27: return XK_Right;
        case 0x28: return XK_Down;
        case 0x2D: return XK_Insert;
        case 0x2E: return XK_Delete;
        case 0x5B: return XK_Super_L;
        case 0x5C: return XK_Super_R;
        case 0x6A: return XK_KP_Multiply;
        case 0x6B: return XK_KP_Add;
        case 0x6D: return XK_KP_Subtract;
        case 0x6E: return XK_KP_Decimal;
        case 0x6F: return XK_KP_Divide;
        case 0xA0: return XK_Shift_L;
        case 0xA1: return XK_Shift_R;
        case 0xA2: return XK_Control_L;
        case 0xA3: return XK_Control_R;
        case 0xA4: return XK_Alt_L;
        case 0xA5: return XK_Alt_R;
        default: return NoSymbol;
    }
}

class XTestKeySender : public KeySender {
public:
    void key_down(uint8_t virtual_key) override { send(virtual_key, True); }
    void key_up(uint8_t virtual_key) override { send(virtual_key, False); }

    bool stroke_into(WindowId window, uint8_t virtual_key) override {
        Display* d = display();
        if (!d || window == 0) return false;
        const KeySym sym = keysym_for(virtual_key);
        const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(d, sym);
        if (code == 0) return false;
        x11::ErrorTrap trap(d);
        // While the server serves only us, no other program moves the focus.
        XGrabServer(d);
        const bool inside = x11::focus_within(d, static_cast<Window>(window));
        if (inside) {
            XTestFakeKeyEvent(d, code, True, CurrentTime);
            XTestFakeKeyEvent(d, code, False, CurrentTime);
        }
        XUngrabServer(d);
        XSync(d, False);
        return inside;
    }

private:
    void send(uint8_t vk, Bool press) {
        Display* d = display();
        if (!d) return;
        KeySym sym = keysym_for(vk);
        if (sym == NoSymbol) return;
        KeyCode code = XKeysymToKeycode(d, sym);
        if (code == 0) return;
        XTestFakeKeyEvent(d, code, press, CurrentTime);
        // Carried out before anything asked next on another connection: the server serves
        // its clients in no fixed order, and a close request that overtook the key would
        // let the window go first and the key fall to whatever window is left.
        XSync(d, False);
    }

    Display* display() {
        Display* d = connection_.get();
        if (d && !checked_) {
            int event_base = 0, error_base = 0, major = 0, minor = 0;
            usable_ = XTestQueryExtension(d, &event_base, &error_base, &major, &minor);
            checked_ = true;
        }
        return usable_ ? d : nullptr;
    }

    x11::Connection connection_;
    bool checked_ = false;
    bool usable_ = false;
};

}  // namespace

std::unique_ptr<KeySender> make_xtest_key_sender() { return std::make_unique<XTestKeySender>(); }

}  // namespace platform
