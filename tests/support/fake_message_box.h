#pragma once
// Message boxes that answer from a script and record every box shown.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace fakes {

class FakeMessageBox : public platform::MessageBox {
public:
    // Records the request, runs during_box (the test acting while the box is open), then
    // answers the next scripted result. Throws when the script is empty, so an
    // unexpected box fails the test instead of answering something.
    platform::MbResult show(const platform::MessageBoxSpec& request) override;

    std::deque<platform::MbResult> answers;
    std::vector<platform::MessageBoxSpec> shown;
    std::function<void(const platform::MessageBoxSpec&)> during_box;
};

}  // namespace fakes
