#include "support/fake_message_box.h"

#include "platform/error.h"

namespace fakes {

platform::MbResult FakeMessageBox::show(const platform::MessageBoxSpec& request) {
    shown.push_back(request);
    if (during_box) during_box(request);
    if (answers.empty()) throw platform::Error("fake message box: no scripted answer for \"" + request.text + "\"");
    const platform::MbResult r = answers.front();
    answers.pop_front();
    return r;
}

}  // namespace fakes
