// The launcher's fixed test definition, the name prefix and the dispatch table.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "launcher/test_definition.h"

namespace {

using launcher::find_dispatch_row;
using launcher::kind_has_name_prefix;
using launcher::parse_test_definition;

TEST(TestDefinitionLine, FixedLineGivesKindStartAndName) {
    const auto d = parse_test_definition(launcher::kTestDefinitionLine);
    EXPECT_EQ(d.kind, "323");
    EXPECT_EQ(d.start_time, "2016/12/26 15:30");
    EXPECT_EQ(d.name, "Ledgrin");
}

TEST(TestDefinitionLine, ValuesAreTakenAtTheirFixedPositions) {
    // The kind is four characters from position 13, whatever the key really is.
    EXPECT_EQ(parse_test_definition("TEST TYPE = KR01X,a,試験名 = Ledgrin").kind, "KR01");
    EXPECT_EQ(parse_test_definition("TEST TYPE  = 323,a,b").kind, " 323");
    EXPECT_EQ(parse_test_definition("TEST TYPE = 18,試験実施日時 = 2020/01/02 03:04,試験名 = Ledgrin").name,
              "OrvaneLedgrin");
    // Missing or short fields give empty values instead of a failure.
    const auto d = parse_test_definition("TEST TYPE");
    EXPECT_EQ(d.kind, "");
    EXPECT_EQ(d.start_time, "");
    EXPECT_EQ(d.name, "");
    EXPECT_EQ(parse_test_definition("").kind, "");
}

TEST(NamePrefix, ByKind) {
    struct Case {
        const char* kind;
        bool prefixed;
    } cases[] = {
        {"2", true},     {"3", true},     {"5", true},     {"6", true},      {"7", true},    {"8", true},
        {"18", true},    {"19", true},    {"KR01", true},  {"KT01", true},   {"KV01", true}, {"323", false},
        {"1", false},    {"4", false},    {"9", false},    {"11", false},    {"102", false}, {"MZ01", false},
        {"NQ01", false}, {"kr01", false}, {"02", false},   {" 2", false},    {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kind_has_name_prefix(c.kind), c.prefixed) << "kind \"" << c.kind << "\"";
        const std::string line = std::string("TEST TYPE = ") + c.kind + ",x,試験名 = Ledgrin";
        const auto d = parse_test_definition(line);
        if (d.kind == c.kind) {
            EXPECT_EQ(d.name, c.prefixed ? "OrvaneLedgrin" : "Ledgrin") << c.kind;
        }
    }
}

TEST(DispatchTable, KindsAreComparedAsExactText) {
    struct Case {
        const char* kind;
        const char* program;   // nullptr: not in the table
        const char* document;  // nullptr: nothing downloaded
        bool library;
        bool events;
    } cases[] = {
        {"323", "ledgrin.dat", nullptr, false, false},
        {"18", "craftel.exe", "craftel_3l.doc", false, false},
        {"0323", nullptr, nullptr, false, false},
        {" 323", nullptr, nullptr, false, false},
        {"kr01", nullptr, nullptr, false, false},
        {"", nullptr, nullptr, false, false},
        {"KR01", "summora.exe", "summora.doc", true, false},
        {"MZ01", "summora.exe", "summora.doc", true, false},
        {"11", "tapwell.exe", "tapwell.doc", false, true},
        {"1", "solvetta.exe", "solvetta.doc", false, false},
        {"19", "craftel.exe", "craftel_2l.doc", false, false},
        {"17", "craftel_bx.exe", "craftel_bx.doc", false, false},
        {"318", "craftel.exe", "craftel_3l_j.doc", false, false},
        {"219", "craftel.exe", "craftel_2l_j.doc", false, false},
        {"15", nullptr, nullptr, false, false},
        {"+18", nullptr, nullptr, false, false},
    };
    for (const auto& c : cases) {
        const auto* row = find_dispatch_row(c.kind);
        if (!c.program) {
            EXPECT_EQ(row, nullptr) << "kind \"" << c.kind << "\"";
            continue;
        }
        ASSERT_NE(row, nullptr) << "kind \"" << c.kind << "\"";
        EXPECT_STREQ(row->program_file, c.program) << c.kind;
        if (c.document) {
            EXPECT_STREQ(row->document, c.document) << c.kind;
        } else {
            EXPECT_EQ(row->document, nullptr) << c.kind;
        }
        EXPECT_EQ(row->needs_library, c.library) << c.kind;
        EXPECT_EQ(row->events_before_start, c.events) << c.kind;
    }
}

}  // namespace
