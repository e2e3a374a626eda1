#include "support/fake_browser.h"

#include "platform/error.h"

namespace fakes {

void FakeBrowserPane::check_bridge() const {
    if (fail_bridge) throw platform::Error("fake browser: bridge failure");
}

void FakeBrowserPane::navigate(const std::string& a) {
    calls.push_back("navigate " + a);
    address = a;
    document.clear();
    fields.clear();
    focused.clear();
}

void FakeBrowserPane::refresh() { calls.push_back("refresh"); }

void FakeBrowserPane::write_document(const std::string& html) {
    calls.push_back("write");
    document = html;
}

std::vector<platform::FieldLookup> FakeBrowserPane::read_fields(const std::vector<std::string>& keys) {
    check_bridge();
    ++reads;
    std::vector<platform::FieldLookup> out;
    for (const auto& k : keys) {
        platform::FieldLookup l{k, {}};
        auto it = fields.find(k);
        if (it != fields.end()) l.elements = it->second;
        out.push_back(std::move(l));
    }
    return out;
}

bool FakeBrowserPane::set_field(const std::string& key, const std::string& value) {
    check_bridge();
    calls.push_back("set " + key + "=" + value);
    auto it = fields.find(key);
    if (it == fields.end() || it->second.empty()) return false;
    auto& f = it->second.front();
    if (f.tag == "input" && (f.type == "checkbox" || f.type == "radio")) {
        f.checked = !value.empty();
    } else if (f.tag == "select") {
        f.value = value;
        f.text = value;
    } else {
        f.value = value;
    }
    return true;
}

bool FakeBrowserPane::focus_field(const std::string& key) {
    check_bridge();
    calls.push_back("focus " + key);
    auto it = fields.find(key);
    if (it == fields.end() || it->second.empty()) return false;
    focused = key;
    return true;
}

std::string FakeBrowserPane::body_outer_html() {
    check_bridge();
    return outer_html.empty() ? document : outer_html;
}

void FakeBrowserPane::set_body_style(const std::string& css) {
    check_bridge();
    body_styles.push_back(css);
}

platform::PrintResult FakeBrowserPane::print() {
    calls.push_back("print");
    ++prints;
    return print_result;
}

void FakeBrowserPane::set_geometry(int x, int y, int width, int height) {
    x_ = x;
    y_ = y;
    w_ = width;
    h_ = height;
}

void FakeBrowserPane::add_text_field(const std::string& key, const std::string& value) {
    platform::FieldValue f;
    f.tag = "input";
    f.type = "text";
    f.value = value;
    fields[key].push_back(std::move(f));
}

std::unique_ptr<platform::BrowserPane> FakeBrowserFactory::create(QWidget* parent, const std::string& data_folder) {
    auto pane = std::make_unique<FakeBrowserPane>(data_folder, parent);
    panes.push_back(pane.get());
    return pane;
}

}  // namespace fakes
