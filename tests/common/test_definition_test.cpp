#include <gtest/gtest.h>

#include "common/state.h"
#include "common/test_definition.h"
#include "common/text.h"
#include "support/numeric_locale.h"

using common::state;

namespace {

void take(const std::string& line) {
    common::reset_state();
    state().test_definition = common::split(line, ",");
    common::take_test_definition_fields();
}

std::string line_with_id(const std::string& id) {
    return "TEST TYPE = 8,試験実施日時 = 2017/03/07 14:05,試験名 = Ledgrin,試験ファイル = tarvo,"
           "課題ファイル = dummy.doc,試験機関名 = Orvane,id=" + id;
}

struct IdCase {
    std::string id;
    bool rehearsal;
    int32_t exe_id;
};

// The id's number has "." as its decimal mark whatever the desktop's locale.
class IdField : public fakes::UnderNumericLocale {};

TEST_P(IdField, RehearsalAndNumber) {
    const IdCase cases[] = {
        {"rehearsal", true, 0},
        {"REHEARSAL", true, 0},
        {"Rehearsal", true, 0},
        {"rehearsal2", false, 0},
        {"12345", false, 12345},
        {"12abc", false, 12},
        {"12.5", false, 12},
        {"13.5", false, 14},
        {"-7", false, -7},
        {"1 2", false, 12},  // blanks inside a number are skipped
        {"", false, 0},
        {"123456789012345678901234", false, 0},  // cut to 20 digits, far beyond 32 bits
        {"2147483647", false, 2147483647},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"-2147483648", false, -2147483647 - 1},  // the lowest 32-bit value is a number like any other
        {"2147483647.4", false, 2147483647},
        {"2147483647.5", false, 0},  // rounds to 2147483648
        {"1e3", false, 1000},
        {"abc", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        take(line_with_id(c.id));
        EXPECT_EQ(state().rehearsal_mode, c.rehearsal);
        EXPECT_EQ(state().exe_id, c.exe_id);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, IdField, fakes::kNumericLocales, fakes::numeric_locale_name);

TEST(TestDefinition, IdIsCutToTwentyCharactersBeforeComparing) {
    take(line_with_id("12345678901234567890999"));
    EXPECT_EQ(state().exe_id, 0);  // 12345678901234567890 is beyond 32 bits
    take(line_with_id("00000000000000000042999"));
    EXPECT_EQ(state().exe_id, 42);
}

TEST(TestDefinition, NameCountsCharactersNotBytes) {
    take("TEST TYPE = 8,x,試験名 = 簿記,a,b,試験機関名 = 東京会場,id=1");
    EXPECT_EQ(state().test_name, "Orvane簿記");
    EXPECT_EQ(state().test_center, "東京会場");
}

TEST(TestDefinition, ValuesAreTakenAtFixedPositions) {
    // A key one character longer keeps the blank; one shorter loses a character.
    take("T,x,試験名X = 簿記,a,b,試験機関 = 会場名,id=1");
    EXPECT_EQ(state().test_name, "Orvane 簿記");
    EXPECT_EQ(state().test_center, "場名");
}

TEST(TestDefinition, LongValuesAreCut) {
    const std::string long_name(150, 'n');
    take("T,x,試験名 = " + long_name + ",a,b,試験機関名 = " + std::string(120, 'c') + ",id=5");
    EXPECT_EQ(state().test_name, "Orvane" + std::string(100, 'n'));
    EXPECT_EQ(state().test_center, std::string(100, 'c'));
}

TEST(TestDefinition, MissingFieldsReadAsEmpty) {
    take("TEST TYPE = 8,試験実施日時 = x,試験名 = 簿記,試験ファイル = t,課題ファイル = d,試験機関名 = 会場");
    EXPECT_FALSE(state().rehearsal_mode);
    EXPECT_EQ(state().exe_id, 0);
    EXPECT_EQ(state().test_name, "Orvane簿記");
    EXPECT_EQ(state().test_center, "会場");

    take("no definition at all");
    EXPECT_EQ(state().test_name, "Orvane");
    EXPECT_EQ(state().test_center, "");
    EXPECT_EQ(state().exe_id, 0);
}

TEST(TestDefinition, FieldsBeyondTheSeventhAreIgnored) {
    take(line_with_id("77") + ",extra = 1,more");
    EXPECT_EQ(state().exe_id, 77);
}

}  // namespace
