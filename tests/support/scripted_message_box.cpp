#include "support/scripted_message_box.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/text.h"
#include "platform/error.h"
#include "platform/platform.h"

namespace fakes {

namespace {

using platform::MbButtons;
using platform::MbResult;

const char* result_name(MbResult r) {
    switch (r) {
        case MbResult::Ok: return "Ok";
        case MbResult::Cancel: return "Cancel";
        case MbResult::Yes: return "Yes";
        case MbResult::No: return "No";
    }
    return "";
}

bool offered(MbButtons b, MbResult r) {
    switch (b) {
        case MbButtons::Ok: return r == MbResult::Ok;
        case MbButtons::OkCancel: return r == MbResult::Ok || r == MbResult::Cancel;
        case MbButtons::YesNo: return r == MbResult::Yes || r == MbResult::No;
    }
    return false;
}

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// Takes the next answer off the script, which is rewritten through a temporary file.
std::string next_answer(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw platform::Error("message box: the answer script " + path + " cannot be read");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    in.close();
    std::string answer;
    size_t used = 0;
    while (used < lines.size() && answer.empty()) answer = trimmed(lines[used++]);
    if (answer.empty()) throw platform::Error("message box: the answer script has no answer left");

    const std::string temporary = path + ".new";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    for (size_t i = used; i < lines.size(); ++i) out << lines[i] << '\n';
    out.close();
    if (!out || std::rename(temporary.c_str(), path.c_str()) != 0)
        throw platform::Error("message box: the answer script " + path + " cannot be written");
    return answer;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

ScriptedMessageBox::ScriptedMessageBox(std::string default_title, std::string script_path, std::string log_path)
    : default_title_(std::move(default_title)), script_path_(std::move(script_path)), log_path_(std::move(log_path)) {}

MbResult ScriptedMessageBox::show(const platform::MessageBoxSpec& request) {
    const std::string answer = next_answer(script_path_);
    for (MbResult r : {MbResult::Ok, MbResult::Cancel, MbResult::Yes, MbResult::No}) {
        if (common::lower(answer) != common::lower(result_name(r))) continue;
        if (!offered(request.buttons, r)) break;
        if (!log_path_.empty()) {
            std::ofstream log(log_path_, std::ios::binary | std::ios::app);
            log << (request.title.empty() ? default_title_ : request.title) << '\t' << escaped(request.text) << '\t'
                << result_name(r) << '\n';
            if (!log) throw platform::Error("message box: the log " + log_path_ + " cannot be written");
        }
        return r;
    }
    throw platform::Error("message box: the scripted answer \"" + answer + "\" does not fit the box");
}

void script_message_boxes(platform::Platform& p, const std::string& default_title) {
    const char* script = std::getenv("LEDGRIN_MSGBOX_SCRIPT");
    if (!script || !*script) return;
    const char* log = std::getenv("LEDGRIN_MSGBOX_LOG");
    p.message_box = std::make_unique<ScriptedMessageBox>(default_title, script, log ? log : "");
}

}  // namespace fakes
