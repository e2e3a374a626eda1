#pragma once
// The result page: the result template with the candidate's details and the points filled in.
#include <cstdint>
#include <string>

namespace exam_window {

struct ResultPageValues {
    std::string kanji_name;  // the main window's strKanjiName
    std::string test_center;
    std::string test_name;
    std::string start_time;  // the main window's test_start_time
    int16_t exe_point = 0;
    std::string data_path;   // ends in '/'
};

struct ResultPage {
    std::string html;
    // The points the page shows and the upload sends, and whether they pass.
    int16_t score = 0;
    bool pass = false;
};

// Replaces the template's placeholders one after the other, each step every occurrence;
// a later step also sees what an earlier one put in. The page carries the fixed sample
// points of the rehearsal (24, 28, 18, total 70), never the marked ones.
ResultPage build_result_page(const std::string& result_template, const ResultPageValues& values);

}  // namespace exam_window
