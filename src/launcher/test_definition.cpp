#include "test_definition.h"

#include <vector>

#include "common/test_definition.h"
#include "common/text.h"

namespace launcher {

namespace {

const DispatchRow kRows[] = {
    {{"1"}, "solvetta.exe", "solvetta.doc", false, false},
    {{"2", "3", "18"}, "craftel.exe", "craftel_3l.doc", false, false},
    {{"4"}, "solvetta2.exe", "solvetta2.doc", false, false},
    {{"5", "6", "19"}, "craftel.exe", "craftel_2l.doc", false, false},
    {{"16", "17"}, "craftel_bx.exe", "craftel_bx.doc", false, false},
    {{"7", "8"}, "parlon.exe", "parlon.doc", false, false},
    {{"9"}, "mailora.exe", "mailora.doc", false, false},
    {{"10"}, "keyvane.exe", "keyvane.doc", false, false},
    {{"11"}, "tapwell.exe", "tapwell.doc", false, true},
    {{"12", "13", "14"}, "emporo.exe", "emporo.doc", false, false},
    {{"102", "103", "118", "202", "203", "218", "302", "303", "318"}, "craftel.exe", "craftel_3l_j.doc", false, false},
    {{"105", "106", "119", "205", "206", "219"}, "craftel.exe", "craftel_2l_j.doc", false, false},
    {{"MZ01", "NQ01", "KR01", "KT01", "KV01"}, "summora.exe", "summora.doc", true, false},
    {{"323"}, "ledgrin.dat", nullptr, false, false},
};

}  // namespace

TestDefinition parse_test_definition(const std::string& line) {
    const std::vector<std::string> fields = common::split(line, ",");
    TestDefinition d;
    d.kind = common::field_value(fields, 0, 13, 4);
    d.start_time = common::field_value(fields, 1, 10, 100);
    const std::string name = common::field_value(fields, 2, 7, 100);
    d.name = kind_has_name_prefix(d.kind) ? "Orvane" + name : name;
    return d;
}

bool kind_has_name_prefix(const std::string& kind) {
    for (const char* k : {"2", "3", "5", "6", "7", "8", "18", "19", "KR01", "KT01", "KV01"}) {
        if (kind == k) return true;
    }
    return false;
}

const DispatchRow* find_dispatch_row(const std::string& kind) {
    for (const DispatchRow& row : kRows) {
        for (const char* code : row.codes) {
            if (code && kind == code) return &row;
        }
    }
    return nullptr;
}

}  // namespace launcher
