#pragma once
// The examination the launcher offers: its fixed test definition line and the table that
// tells, by examination kind, which program to start.
#include <string>

namespace launcher {

inline const char* const kTestDefinitionLine =
    "TEST TYPE = 323,試験実施日時 = 2016/12/26 15:30,試験名 = Ledgrin,試験ファイル = dummy.doc,"
    "課題ファイル = dummy.doc,試験機関名 = 試験リハーサル";

struct TestDefinition {
    std::string kind;        // 4 characters from position 13 of field 0
    std::string start_time;  // up to 100 characters from position 10 of field 1
    std::string name;        // field 2's value, with "Orvane" in front for the kinds that carry it
};

// Splits at every "," (nothing trimmed) and takes each value at its fixed position.
TestDefinition parse_test_definition(const std::string& line);

// True for the kinds whose name is shown with "Orvane" in front.
bool kind_has_name_prefix(const std::string& kind);

struct DispatchRow {
    const char* codes[9];       // the kinds of the row, compared as text, exactly and with case
    const char* program_file;   // in program_path, or in data_path for the row that is not downloaded
    const char* document;       // fetched from download_url; nullptr: nothing is downloaded
    bool needs_library;         // "7-zip32.dll" is fetched first when it is missing
    bool events_before_start;   // pending events run once between the download and the start
};

// The row of a kind, nullptr when the table does not hold it.
const DispatchRow* find_dispatch_row(const std::string& kind);

}  // namespace launcher
