// What the shipped pages and questions must carry for the program to work with them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "platform/database.h"
#include "support/db_fixture.h"

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == sep)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool digits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// The options of the select with the given id, as their values.
std::vector<std::string> select_options(const std::string& page, const std::string& id) {
    const size_t start = page.find("<select id=\"" + id + "\"");
    if (start == std::string::npos) return {};
    const std::string select = page.substr(start, page.find("</select>", start) - start);
    std::vector<std::string> values;
    std::regex option(R"re(<option(?: value="([^"]*)")?>([^<]*)</option>)re");
    for (std::sregex_iterator it(select.begin(), select.end(), option), end; it != end; ++it)
        values.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
    return values;
}

class ShippedPages : public ::testing::Test {
protected:
    void SetUp() override {
        auto db = platform::make_sqlcipher_engine()->open(fakes::shipped_data_folder() + "qfile.dat", fakes::kDbPassword);
        for (const auto& row : db->query("select * from gamen order by id asc")) pages.push_back(*row.field("gamen"));
        ASSERT_EQ(pages.size(), 6u);
    }
    std::vector<std::string> pages;  // slot 1 at index 0
};

TEST_F(ShippedPages, RegistrationFormCarriesEveryFieldOnce) {
    const std::string& form = pages[2];
    for (const char* id : {"KanjiFamilyName", "KanjiGivenName", "KanaFamilyName", "KanaGivenName", "RomaFamilyName",
                           "RomaGivenName", "Sex", "Job", "BirthYear", "BirthMonth", "BirthDay", "mailID", "mailDomain",
                           "Zip1", "Zip2", "State", "City", "Address1", "Address2", "Phone1", "Phone2", "Phone3"}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(count(form, std::string("id=\"") + id + "\""), 1u);
        EXPECT_EQ(count(form, std::string("name=\"") + id + "\""), 1u);  // focus goes by name
    }
    // The sample fill writes these values; the selects must hold them, and start unchosen.
    auto sex = select_options(form, "Sex");
    auto job = select_options(form, "Job");
    ASSERT_FALSE(sex.empty());
    ASSERT_FALSE(job.empty());
    EXPECT_EQ(sex.front(), "");
    EXPECT_EQ(job.front(), "");
    EXPECT_NE(std::find(sex.begin(), sex.end(), "男"), sex.end());
    EXPECT_NE(std::find(job.begin(), job.end(), "高校生"), job.end());
    EXPECT_EQ(select_options(form, "State").size(), 48u);  // "" and the 47 prefectures
}

TEST_F(ShippedPages, StartPageAndResultTemplateHoldWhatIsReplacedInThem) {
    EXPECT_EQ(count(pages[4], "30分間"), 1u);
    for (const char* placeholder : {"FamilyName", "TestCenter", "テスト名", "StartTime", "SelectPoint1", "SelectPoint2",
                                    "SelectPoint3", "ExePoint", "SelectPointA", "結果イメージ", "sample.png"}) {
        SCOPED_TRACE(placeholder);
        EXPECT_EQ(count(pages[5], placeholder), 1u);
    }
    // The image names are completed to full paths; no other image may depend on the base.
    EXPECT_EQ(count(pages[5], "<img"), 1u);
}

TEST_F(ShippedPages, PagesNeedNoScriptAndUseTheProgramFont) {
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(pages[i].find("<script"), std::string::npos);
        EXPECT_EQ(pages[i].find("ＭＳ Ｐゴシック"), pages[i].find("font-family:\"") + 13);
    }
}

class ShippedQuestions : public ::testing::Test {
protected:
    void SetUp() override {
        db = platform::make_sqlcipher_engine()->open(fakes::shipped_data_folder() + "exam.dat", fakes::kDbPassword);
    }
    platform::Row first(const std::string& sql) {
        auto rows = db->query(sql);
        if (rows.empty()) throw std::runtime_error("no row: " + sql);
        return rows.front();
    }
    std::unique_ptr<platform::Database> db;
};

TEST_F(ShippedQuestions, SkeletonsHoldTheirSlotsInOrderAndNothingElseToReplace) {
    const std::string p1 = *first("select * from exam_doc where id =1").field("q_doc");
    const std::string p2 = *first("select * from exam_doc where id =2").field("q_doc");
    const std::string p3 = *first("select * from exam_doc where id =3").field("q_doc");
    const char* wide[] = {"０", "１", "２", "３"};
    size_t last1 = 0, last2 = 0;
    for (int s = 0; s < 4; ++s) {
        SCOPED_TRACE(s);
        const std::string slot1 = std::string("問題１－") + wide[s];
        const std::string slot3 = std::string("問題３－") + wide[s];
        ASSERT_EQ(count(p1, slot1), 1u);
        ASSERT_EQ(count(p2, slot3), 1u);
        EXPECT_GT(p1.find(slot1), last1);
        EXPECT_GT(p2.find(slot3), last2);
        last1 = p1.find(slot1);
        last2 = p2.find(slot3);
    }
    EXPECT_EQ(count(p1, "問題１－"), 4u);
    EXPECT_EQ(count(p2, "問題３－"), 4u);
    EXPECT_EQ(count(p3, "問題４"), 1u);
    for (const auto* page : {&p1, &p2, &p3}) EXPECT_EQ(count(*page, "選択肢"), 0u);
}

TEST_F(ShippedQuestions, FourChoiceQuestionsHaveOneAnswerFieldAndTheirAnswerAmongTheChoices) {
    for (int g = 1; g <= 4; ++g) {
        SCOPED_TRACE(g);
        auto row = first("select * from select_q where q_set=1 and q_g=" + std::to_string(g));
        const std::string doc = *row.field("q_doc");
        EXPECT_EQ(count(doc, "name=\"answer\""), 1u);
        EXPECT_EQ(count(doc, "name=\"answer"), 1u);
        std::set<std::string> choices;
        for (int d = 1; d <= 4; ++d) {
            EXPECT_EQ(count(doc, "選択肢" + std::to_string(d)), 1u);
            choices.insert(*row.field("sel" + std::to_string(d)));
        }
        EXPECT_EQ(count(doc, "選択肢"), 4u);
        EXPECT_EQ(choices.size(), 4u);
        EXPECT_EQ(choices.count(*row.field("ans")), 1u);
        EXPECT_EQ(count(doc, "問題"), 0u);
    }
}

TEST_F(ShippedQuestions, JournalQuestionsHaveEightFieldsAndKeysTheMarkingCanRead) {
    for (int g = 1; g <= 4; ++g) {
        SCOPED_TRACE(g);
        auto row = first("select * from select_q where q_set=3 and q_g=" + std::to_string(g));
        const std::string doc = *row.field("q_doc");
        EXPECT_EQ(count(doc, "name=\"answer3\""), 8u);
        EXPECT_EQ(count(doc, "name=\"answer"), 8u);
        std::set<std::string> choices;
        for (int d = 1; d <= 6; ++d) {
            // Each of the four account selects offers every choice.
            EXPECT_EQ(count(doc, "選択肢" + std::to_string(d)), 4u);
            choices.insert(*row.field("sel" + std::to_string(d)));
        }
        EXPECT_EQ(choices.size(), 6u);
        auto parts = split(*row.field("ans"), ',');
        ASSERT_TRUE(parts.size() == 4 || parts.size() == 8) << *row.field("ans");
        for (size_t k = 0; k < parts.size(); k += 2) {
            // account and amount filled together or not at all
            EXPECT_EQ(parts[k].empty(), parts[k + 1].empty()) << k;
            if (parts[k].empty()) continue;
            EXPECT_EQ(choices.count(parts[k]), 1u) << parts[k];
            EXPECT_TRUE(digits(parts[k + 1])) << parts[k + 1];
        }
        EXPECT_FALSE(parts[0].empty() && parts.size() == 4);
    }
}

TEST_F(ShippedQuestions, ClosingExerciseCarriesEightyOneFields) {
    const std::string doc = *first("select * from select_q where q_set=4 and q_g=4").field("q_doc");
    EXPECT_EQ(count(doc, "name=\"answer4\""), 81u);
    EXPECT_EQ(count(doc, "name=\"answer"), 81u);
    EXPECT_EQ(count(doc, "選択肢"), 0u);
    EXPECT_EQ(count(doc, "問題"), 0u);
}

}  // namespace
