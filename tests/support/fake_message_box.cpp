#include "support/fake_message_box.h"

#include "platform/error.h"

namespace fakes {

platform::MbResult FakeMessageBox::show(const platform::MessageBoxSpec& spec) {
    shown.push_back(spec);
    if (during_box) during_box(spec);
    if (answers.empty()) throw platform::Error("fake message box: no scripted answer for \"" + spec.text + "\"");
    const platform::MbResult r = answers.front();
    answers.pop_front();
    return r;
}

}  // namespace fakes
