#include "result_page.h"

#include "common/text.h"

namespace exam_window {

namespace {

constexpr int16_t kPassMark = 70;

std::string image_tag(const std::string& data_path, const char* file) {
    return "<img src=\"" + data_path + file + "\" />";
}

}  // namespace

ResultPage build_result_page(const std::string& result_template, const ResultPageValues& v) {
    using common::replace_all;
    ResultPage page;
    std::string& html = page.html;
    int16_t& score = page.score;

    html = result_template;
    html = replace_all(html, "FamilyName", v.kanji_name);
    html = replace_all(html, "TestCenter", v.test_center);
    html = replace_all(html, "テスト名", v.test_name);
    html = replace_all(html, "StartTime", v.start_time);
    score = 24;
    html = replace_all(html, "SelectPoint1", std::to_string(score));
    score = 28;
    html = replace_all(html, "SelectPoint2", std::to_string(score));
    score = 18;
    html = replace_all(html, "SelectPoint3", std::to_string(score));
    html = replace_all(html, "ExePoint", std::to_string(v.exe_point));
    score = 70;
    html = replace_all(html, "SelectPointA", std::to_string(score));
    page.pass = score >= kPassMark;
    html = replace_all(html, "結果イメージ", image_tag(v.data_path, page.pass ? "pass.gif" : "fail.gif"));
    html = replace_all(html, "sample.png", v.data_path + "sample.png");
    return page;
}

}  // namespace exam_window
