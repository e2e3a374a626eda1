// The registration request as a real server on 127.0.0.1 receives it through the real HTTP
// backend: the address, every key decoded, and the answer taken into the program's values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

#include "platform/backends.h"
#include "registration_fixture.h"
#include "support/local_server.h"

namespace {

using mw_test::RegistrationTest;

class RegistrationOnTheWire : public RegistrationTest {
protected:
    void SetUp() override {
        ::setenv("no_proxy", "127.0.0.1", 1);
        ::setenv("NO_PROXY", "127.0.0.1", 1);
        RegistrationTest::SetUp();
        limits_.connect_timeout_ms = 2000;
        limits_.stall_seconds = 2;
        fp_.platform.http = platform::make_curl_http(limits_);
    }
    platform::CurlLimits limits_;
};

TEST_F(RegistrationOnTheWire, TheServerGetsEveryValueAndItsAnswerIsTaken) {
    fakes::LocalServer server;
    std::mutex m;
    std::string target, agent;
    httplib::Params params;
    server->Get("/api/grade/register", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> g(m);
        target = req.target;
        params = req.params;
        agent = req.get_header_value("User-Agent");
        res.set_content("123,456", "text/plain");
    });
    server.start();

    provide_question_database();
    common::state().register_url = server.url("/api/grade/register");
    type(good_candidate());
    run_stage();

    std::lock_guard<std::mutex> g(m);
    // The blanks of the raw values are escaped on the way; "!~*'()" arrive as they are.
    EXPECT_EQ(target, "/api/grade/register" + common::replace_all(good_candidate_query(), " ", "%20"));
    EXPECT_EQ(agent, "orvanepc");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"KFN", "山田"},           {"KGN", "Ａｎｎ"},          {"KanaFN", "やまだ"},
        {"KanaGN", "あん"},        {"RFN", "VAN DER BERG"},     {"RGN", "ANN"},
        {"Sex", "女"},             {"Work", "会社員"},          {"Birthday", "1985/04/12"},
        {"Email", "ann.y@example.jp"}, {"Zip", "1234567"},      {"State", "東京都(!~*')"},
        {"City", "千代田区 "},     {"Address1", "丸の内1-1"},   {"Address2", "A&B=C ビル"},
        {"Tel", "03-1234-5678"},   {"Password", "quib"},        {"ExeID", "-42"},
    };
    EXPECT_EQ(params.size(), expected.size());
    for (const auto& [key, value] : expected) {
        EXPECT_EQ(params.count(key), 1u) << key;
        auto it = params.find(key);
        if (it != params.end()) {
            EXPECT_EQ(it->second, value) << key;
        }
    }

    EXPECT_EQ(common::state().jid, 123);
    EXPECT_EQ(common::state().result_id, 456);
    EXPECT_EQ(common::caption_of(form_->Command1), "試験開始");
}

TEST_F(RegistrationOnTheWire, NothingListeningAndAServerThatNeverFinishesShowTheConnectionFailure) {
    // One that answers "1,2" and then trickles on: never a whole answer, and it never stalls.
    fakes::StreamingServer trickling(",", std::chrono::milliseconds(200), "HTTP/1.1 200 OK\r\n\r\n1,2");
    limits_.total_timeout_ms = 1500;
    fp_.platform.http = platform::make_curl_http(limits_);
    for (const std::string& url :
         {"http://127.0.0.1:" + std::to_string(fakes::closed_port()) + "/api/grade/register",
          trickling.url("/api/grade/register")}) {
        SCOPED_TRACE(url);
        shown_.clear();
        common::state().register_url = url;
        type(good_candidate());
        run_stage();
        ASSERT_EQ(shown_.size(), 2u);
        EXPECT_EQ(shown_[1].labels["Label2"], "試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。");
        EXPECT_EQ(common::caption_of(form_->Command1), "登録");
    }
}

}  // namespace
