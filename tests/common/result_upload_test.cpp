// send_result: the address it asks for and how it judges what the server answers.
#include "common/result_upload.h"

#include <gtest/gtest.h>

#include <ostream>

#include "common/state.h"
#include "platform/platform.h"
#include "support/fake_platform.h"

namespace {

const std::string kUrl = "https://exam.test/api/grade/result";
const std::string kEarlierReason = "earlier reason";
const std::string kRefused = "サーバで登録できませんでした。";
const std::string kServerError = "サーバで登録エラーが発生しました。";
// "<HTML><HEAD><TITLE>ページを表示できません</TITLE>" as the server sends it, in CP932.
const std::string kErrorTitleCp932 =
    "<HTML><HEAD><TITLE>\x83\x79\x81\x5b\x83\x57\x82\xf0\x95\x5c\x8e\xa6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"
    "</TITLE>";

class SendResultTest : public ::testing::Test {
protected:
    void SetUp() override {
        common::reset_state();
        auto& s = common::state();
        s.user_agent = "orvanepc";
        s.result_url = kUrl;
        s.roma_family_name = "FAMILY";
        s.roma_given_name = "GIVEN";
        s.result_id = 2;
        s.jid = 1;
        s.exe_id = 35;
        s.exe_point = 12;  // never part of the request
    }
    void TearDown() override { common::reset_state(); }
    fakes::FakePlatform fake_;
    fakes::FakeHttp* http_ = fake_.http;
};

TEST_F(SendResultTest, AddressHoldsTheKeysInOrderWithValuesAsTheyAre) {
    std::string reason;
    http_->answer("OK");
    ASSERT_TRUE(common::send_result(70, true, "2017/03/07 14:05:09", reason));

    common::state().roma_family_name = "VAN DER BERG";
    common::state().jid = -3;
    http_->answer("OK");
    common::send_result(-5, false, "2024/12/31 23:59:00", reason);

    ASSERT_EQ(http_->requests.size(), 2u);
    EXPECT_EQ(http_->requests[0].url,
              kUrl + "?RFN=FAMILY&RGN=GIVEN&result_id=2&jid=1&exe_id=35&SP=70&TC=2017/03/07 14:05:09&GOUHI=True");
    EXPECT_EQ(http_->requests[1].url, kUrl +
                                          "?RFN=VAN DER BERG&RGN=GIVEN&result_id=2&jid=-3&exe_id=35&SP=-5"
                                          "&TC=2024/12/31 23:59:00&GOUHI=False");
    EXPECT_EQ(http_->requests[1].user_agent, "orvanepc");
}

struct AnswerCase {
    const char* name;
    // How the fake answers: a body, or one of the ways of receiving nothing.
    enum Kind { Body, Unreachable, Broken, Throws } kind;
    std::string body;
    bool accepted;
    std::string reason_after;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class SendResultAnswers : public SendResultTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(SendResultAnswers, JudgedInOrder) {
    const AnswerCase& c = GetParam();
    switch (c.kind) {
        case AnswerCase::Body: http_->answer(c.body); break;
        case AnswerCase::Unreachable: http_->unreachable(); break;
        case AnswerCase::Broken: http_->broken(c.body); break;
        case AnswerCase::Throws: http_->fails(); break;
    }
    std::string reason = kEarlierReason;
    EXPECT_EQ(common::send_result(70, true, "2017/03/07 14:05:09", reason), c.accepted);
    EXPECT_EQ(reason, c.reason_after);
    EXPECT_EQ(http_->requests.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SendResultAnswers,
    ::testing::Values(
        AnswerCase{"Ok", AnswerCase::Body, "OK", true, kEarlierReason},
        AnswerCase{"OkWithMore", AnswerCase::Body, "OK,xyz", true, kEarlierReason},
        AnswerCase{"LowerCaseOk", AnswerCase::Body, "ok", false, kServerError},
        AnswerCase{"Ng", AnswerCase::Body, "NG", false, kRefused},
        AnswerCase{"NgNotAtStart", AnswerCase::Body, "xNG", false, kServerError},
        AnswerCase{"OkWithErrorPage", AnswerCase::Body, "OK" + kErrorTitleCp932, false, kRefused},
        AnswerCase{"ErrorPageMidText", AnswerCase::Body, "<!-- x -->" + kErrorTitleCp932 + "</HTML>", false,
                   kRefused},
        AnswerCase{"EmptyBody", AnswerCase::Body, "", false, kEarlierReason},
        AnswerCase{"Unreachable", AnswerCase::Unreachable, "", false, kEarlierReason},
        AnswerCase{"BrokeOffAfterOk", AnswerCase::Broken, "OK", false, kEarlierReason},
        AnswerCase{"RequestThrows", AnswerCase::Throws, "", false, kEarlierReason}),
    [](const ::testing::TestParamInfo<AnswerCase>& i) { return std::string(i.param.name); });

}  // namespace
