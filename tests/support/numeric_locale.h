#pragma once
// Number tests run twice: in the C locale, and in one whose decimal mark is a comma, as a
// candidate's desktop may have it (the programs take their locale from the environment).
// No comma locale is installed on a bare machine, so one is generated into a temporary
// folder the first time it is asked for.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace fakes {

enum class Numbers { C, Comma };
inline void PrintTo(Numbers n, std::ostream* os) { *os << (n == Numbers::C ? "C locale" : "comma locale"); }

inline const auto kNumericLocales = ::testing::Values(Numbers::C, Numbers::Comma);
// Test names: "C" and "Comma".
std::string numeric_locale_name(const ::testing::TestParamInfo<Numbers>& info);

// LC_NUMERIC for the life of the object, the previous one afterwards.
class NumericLocaleScope {
public:
    explicit NumericLocaleScope(Numbers numbers);
    ~NumericLocaleScope();
    NumericLocaleScope(const NumericLocaleScope&) = delete;
    NumericLocaleScope& operator=(const NumericLocaleScope&) = delete;

    // False when no comma locale could be had; why_not() then says why.
    bool active() const { return active_; }
    const std::string& why_not() const { return why_not_; }

private:
    std::string previous_;
    bool active_ = false;
    std::string why_not_;
};

// A parameterised fixture that enters the locale before each test and skips, with the
// reason, when the comma locale cannot be had.
class UnderNumericLocale : public ::testing::TestWithParam<Numbers> {
protected:
    void SetUp() override {
        if (!locale_.active()) GTEST_SKIP() << locale_.why_not();
    }

private:
    NumericLocaleScope locale_{GetParam()};
};

}  // namespace fakes
