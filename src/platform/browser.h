#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace platform {

// One element found by id or name.
struct FieldValue {
    std::string tag;    // lower case: "input", "select", "textarea", ...
    std::string type;   // lower case input type ("text", "radio", ...), "" for others
    std::string value;  // live value as typed; for a select the chosen option's value
    std::string text;   // for a select the chosen option's text, else ""
    bool checked = false;
};

// All elements whose id or name equals a key, in document order. Empty: the page lacks it.
struct FieldLookup {
    std::string key;
    std::vector<FieldValue> elements;
    bool present() const { return !elements.empty(); }
    // First element's value, "" when the page lacks the field.
    std::string first_value() const { return elements.empty() ? std::string() : elements.front().value; }
};

enum class PrintResult { Printed, Cancelled, Failed };

class BrowserPane {
public:
    virtual ~BrowserPane() = default;
    // Loads a local file path or "about:blank" and waits for the load to end.
    virtual void navigate(const std::string& address) = 0;
    virtual void refresh() = 0;
    // Replaces the whole document; relative addresses resolve against the data folder.
    virtual void write_document(const std::string& html) = 0;
    // As navigate and write_document, but they return once the load has begun: a window
    // that is not on the screen yet then comes up while its page loads, for the engine
    // draws a page only once its window is shown. The pane's next use waits for the page
    // first; a load that fails or never ends is written to the log there and leaves the
    // pane as a failure that its caller ignored would, with no document to speak of.
    virtual void start_navigate(const std::string& address) = 0;
    virtual void start_write_document(const std::string& html) = 0;
    // One round trip for any number of keys.
    virtual std::vector<FieldLookup> read_fields(const std::vector<std::string>& keys) = 0;
    // Sets the first element with that id or name (a select takes the option whose value
    // or text matches; a check box or radio button is checked when value is non-empty).
    // False when the page lacks it.
    virtual bool set_field(const std::string& key, const std::string& value) = 0;
    virtual bool focus_field(const std::string& key) = 0;
    // The body's outer HTML with the live values of the fields written into it.
    virtual std::string body_outer_html() = 0;
    virtual void set_body_style(const std::string& css) = 0;
    // Asks for the printer (the print dialog), then prints the document.
    virtual PrintResult print() = 0;
    // Geometry in pixels relative to the parent widget.
    virtual void set_geometry(int x, int y, int width, int height) = 0;
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void set_visible(bool visible) = 0;
    virtual bool visible() const = 0;
    virtual QWidget* widget() = 0;  // may be null in fakes
};

class BrowserFactory {
public:
    virtual ~BrowserFactory() = default;
    // data_folder: base for relative addresses of written documents (ends in '/').
    virtual std::unique_ptr<BrowserPane> create(QWidget* parent, const std::string& data_folder) = 0;
};

}  // namespace platform
