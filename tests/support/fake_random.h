#pragma once
// Draws come from a script; running out of it is a test error, not a silent zero.
#include <deque>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/random.h"

namespace fakes {

class FakeRandom : public platform::Random {
public:
    void script(std::initializer_list<float> draws) { draws_.insert(draws_.end(), draws); }

    float next() override {
        if (draws_.empty()) throw std::logic_error("fake random: no scripted draw left");
        trace.push_back("draw");
        float v = draws_.front();
        draws_.pop_front();
        return v;
    }
    void reseed() override { trace.push_back("reseed"); }

    size_t left() const { return draws_.size(); }

    std::vector<std::string> trace;  // "draw" and "reseed", in order

private:
    std::deque<float> draws_;
};

}  // namespace fakes
