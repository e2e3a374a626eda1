#pragma once
// An in-memory browser pane: the document is a text, the fields a map the test fills,
// and every call that changes the page is recorded.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/browser.h"

namespace fakes {

class FakeBrowserPane : public platform::BrowserPane {
public:
    explicit FakeBrowserPane(std::string data_folder = {}, QWidget* parent = nullptr)
        : data_folder(std::move(data_folder)), parent(parent) {}

    // navigate: records "navigate <address>", sets address, clears document and fields.
    void navigate(const std::string& address) override;
    // refresh: records "refresh"; the page keeps what it holds.
    void refresh() override;
    // write_document: records "write", sets document; the fields stay as the test set them.
    void write_document(const std::string& html) override;
    // The page is in at once, so these are navigate and write_document (and record as
    // they do).
    void start_navigate(const std::string& address) override { navigate(address); }
    void start_write_document(const std::string& html) override { write_document(html); }
    std::vector<platform::FieldLookup> read_fields(const std::vector<std::string>& keys) override;
    // Sets the value of the first element of that key (a check box or radio button is
    // checked when the value is non-empty; a select takes the value as value and text).
    // Records "set <key>=<value>".
    bool set_field(const std::string& key, const std::string& value) override;
    // Records "focus <key>" (also for a key the page lacks) and sets focused when found.
    bool focus_field(const std::string& key) override;
    // outer_html when set, else the document.
    std::string body_outer_html() override;
    void set_body_style(const std::string& css) override;
    platform::PrintResult print() override;
    void set_geometry(int x, int y, int width, int height) override;
    int left() const override { return x_; }
    int top() const override { return y_; }
    int width() const override { return w_; }
    int height() const override { return h_; }
    void set_visible(bool v) override {
        visible_ = v;
        visibility.push_back(v);
    }
    bool visible() const override { return visible_; }
    QWidget* widget() override { return nullptr; }

    // A text field (input type "text") with that value, appended in document order.
    void add_text_field(const std::string& key, const std::string& value = {});

    std::string data_folder;
    QWidget* parent = nullptr;
    std::string address;
    std::string document;
    std::map<std::string, std::vector<platform::FieldValue>> fields;
    std::string focused;
    std::string outer_html;                // when non-empty, body_outer_html() answers it
    std::vector<std::string> body_styles;  // every css given, in order
    std::vector<std::string> calls;
    platform::PrintResult print_result = platform::PrintResult::Printed;
    int prints = 0;
    int reads = 0;  // round trips of read_fields
    std::vector<bool> visibility;  // every set_visible, in order
    // When set, every call of the bridge (read, set, focus, outer html) throws platform::Error.
    bool fail_bridge = false;

private:
    void check_bridge() const;
    int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
    bool visible_ = true;
};

class FakeBrowserFactory : public platform::BrowserFactory {
public:
    std::unique_ptr<platform::BrowserPane> create(QWidget* parent, const std::string& data_folder) override;
    // Every pane created, in order. The factory does not own them: a pane that its owner
    // destroyed leaves a dangling pointer here, so look only at panes still alive.
    std::vector<FakeBrowserPane*> panes;
};

}  // namespace fakes
