// The registration form on plain values: the checks in their order, the details derived
// from the form, the confirmation texts, the request's query and the reading of the answer.
#include "main_window/registration_form.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "support/numeric_locale.h"

namespace {

using namespace main_window;
using Kind = RegistrationAnswer::Kind;

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// A form that passes every check, with e-mail, postal code and telephone.
FormValues good_form() {
    return {
        {"KanjiFamilyName", "山田"}, {"KanjiGivenName", "花子"},  {"KanaFamilyName", "やまだ"},
        {"KanaGivenName", "はなこ"}, {"RomaFamilyName", "Yamada"}, {"RomaGivenName", "Hanako"},
        {"Sex", "女"},               {"Job", "会社員"},            {"BirthYear", "1985"},
        {"BirthMonth", "04"},        {"BirthDay", "12"},           {"mailID", "hanako.yamada"},
        {"mailDomain", "example.jp"}, {"Zip1", "123"},             {"Zip2", "4567"},
        {"State", "東京都"},         {"City", "千代田区"},         {"Address1", "丸の内1-1"},
        {"Address2", "オルヴァンビル5F"}, {"Phone1", "03"},        {"Phone2", "1234"},
        {"Phone3", "5678"},
    };
}

FormValues with(FormValues form, const FormValues& changes) {
    for (const auto& [k, v] : changes) form[k] = v;
    return form;
}

TEST(RegistrationChecks, GoodFormPassesWithAllItsDetails) {
    const Validation v = validate(good_form());
    ASSERT_FALSE(v.error) << v.error->message;
    const Candidate& c = v.candidate;
    EXPECT_EQ(c.kanji_family, "山田");
    EXPECT_EQ(c.kanji_given, "花子");
    EXPECT_EQ(c.kanji_name, "山田 花子");
    EXPECT_EQ(c.kana_family, "やまだ");
    EXPECT_EQ(c.kana_given, "はなこ");
    EXPECT_EQ(c.roma_family_name, "YAMADA");
    EXPECT_EQ(c.roma_given_name, "HANAKO");
    EXPECT_EQ(c.info.strKanaName, "やまだ はなこ");
    EXPECT_EQ(c.info.strRomaName, "YAMADA HANAKO");
    EXPECT_EQ(c.info.strSex, "女");
    EXPECT_EQ(c.info.strJob, "会社員");
    EXPECT_EQ(c.info.strBirthday, "1985/04/12");
    EXPECT_EQ(c.info.strEmail, "hanako.yamada@example.jp");
    EXPECT_EQ(c.info.strZipCode, "123-4567");
    EXPECT_EQ(c.info.strState, "東京都");
    EXPECT_EQ(c.info.strCity, "千代田区");
    EXPECT_EQ(c.info.strAddress1, "丸の内1-1");
    EXPECT_EQ(c.info.strAddress2, "オルヴァンビル5F");
    EXPECT_EQ(c.info.strTel, "03-1234-5678");
}

struct CheckRow {
    int check;
    FormValues changes;
    std::string message;
    std::optional<std::string> focus;  // none: the focus stays
};

TEST(RegistrationChecks, EachCheckWithItsMessageAndFocus) {
    const std::optional<std::string> stays;
    const CheckRow rows[] = {
        {1, {{"KanjiFamilyName", ""}}, "漢字の姓が空欄です。", "KanjiFamilyName"},
        {2, {{"KanjiGivenName", ""}}, "漢字の名が空欄です。", "KanjiGivenName"},
        {3, {{"KanaFamilyName", ""}}, "かなの姓が空欄です。", "KanaFamilyName"},
        {4, {{"KanaFamilyName", "やま だ"}}, "かなの姓にかな以外の字が使用されています。", "KanaFamilyName"},
        {5, {{"KanaGivenName", ""}}, "かなの名が空欄です。", "KanaGivenName"},
        {6, {{"KanaGivenName", "ハナコ"}}, "かなの名にかな以外の字が使用されています。", "KanaGivenName"},
        {7, {{"RomaFamilyName", ""}}, "ローマ字の姓が空欄です。", "RomaFamilyName"},
        {8, {{"RomaFamilyName", "Ｙａｍａｄａ"}}, "ローマ字の姓にアルファベット以外の字が使用されています。",
         "RomaFamilyName"},
        {9, {{"RomaGivenName", ""}}, "ローマ字の名が空欄です。", "RomaGivenName"},
        {10, {{"RomaGivenName", "Hana-ko"}}, "ローマ字の名にアルファベット以外の字が使用されています。",
         "RomaGivenName"},
        {11, {{"Sex", ""}}, "性別が空欄です。", "Sex"},
        {12, {{"Job", ""}}, "職業が空欄です。", "Job"},
        {13, {{"BirthYear", ""}}, "生年月日の年が空欄です。", "BirthYear"},
        {14, {{"BirthMonth", ""}}, "生年月日の月が空欄です。", "BirthMonth"},
        {15, {{"BirthDay", ""}}, "生年月日の日が空欄です。", "BirthDay"},
        {16, {{"KanjiFamilyName", "abcdefghijk"}}, "苗字は10文字までです。", "KanjiFamilyName"},
        {17, {{"KanjiGivenName", "花子花子花子花子花子花"}}, "名前は10文字までです。", "KanjiGivenName"},
        {18, {{"KanaFamilyName", repeat("や", 31)}}, "苗字ふりがなは30文字までです。", "KanaFamilyName"},
        {19, {{"KanaGivenName", repeat("は", 31)}}, "名前ふりがなは30文字までです。", "KanaGivenName"},
        {20, {{"RomaFamilyName", std::string(51, 'y')}}, "苗字ローマ字は50文字までです。", "RomaFamilyName"},
        {21, {{"RomaGivenName", std::string(51, 'h')}}, "名前ローマ字は50文字までです。", "RomaGivenName"},
        {22, {{"BirthMonth", "02"}, {"BirthDay", "30"}}, "誕生日の日付が間違っています。", stays},
        {23, {{"mailID", "hanako+1"}}, "メールのユーザー名が間違っています。", "mailID"},
        {24, {{"mailDomain", "exa mple.jp"}}, "メールのドメインが間違っています。", "mailDomain"},
        {25, {{"mailID", std::string(90, 'a')}}, "メールアドレスは100文字までです。", "mailID"},
        {26, {{"mailID", ".hanako"}}, "メールアドレスが間違っています。", stays},
        {27, {{"Zip1", "1234"}}, "郵便番号が間違っています。", "Zip1"},
        {28, {{"Zip1", "12a"}}, "郵便番号が間違っています。", stays},
        {29, {{"Zip2", "45678"}}, "郵便番号が間違っています。", "Zip2"},
        {30, {{"Zip2", "45-6"}}, "郵便番号が間違っています。", stays},
        {31, {{"City", repeat("区", 21)}}, "市区郡は20文字までです。", "City"},
        {32, {{"Address1", repeat("町", 51)}}, "町名・番地は50文字までです。", "Address1"},
        {33, {{"Address2", repeat("館", 51)}}, "マンション名などは50文字までです。", "Address2"},
        {34, {{"Phone1", "03a"}}, "電話番号が間違っています。", stays},
        {35, {{"Phone2", "12 34"}}, "電話番号が間違っています。", stays},
        {36, {{"Phone3", "５６７８x"}}, "電話番号が間違っています。", stays},
        {37, {{"Phone1", "0312345678"}, {"Phone2", "1234567"}, {"Phone3", "8901"}}, "電話番号は20文字までです。",
         "Phone1"},
    };
    int expected_check = 1;
    for (const auto& r : rows) {
        SCOPED_TRACE("check " + std::to_string(r.check));
        EXPECT_EQ(r.check, expected_check++);
        const Validation v = validate(with(good_form(), r.changes));
        ASSERT_TRUE(v.error);
        EXPECT_EQ(*v.error, (InputError{r.message, r.focus}));
    }
}

// The first failing check is the one reported, whatever fails after it.
TEST(RegistrationChecks, OnlyTheFirstFailureIsReported) {
    EXPECT_EQ(validate({}).error->message, "漢字の姓が空欄です。");
    EXPECT_EQ(validate(with(good_form(), {{"KanaFamilyName", "ア"}, {"RomaFamilyName", ""}})).error->message,
              "かなの姓にかな以外の字が使用されています。");
    // Lengths are measured only once every field is there.
    EXPECT_EQ(validate(with(good_form(), {{"KanjiFamilyName", "abcdefghijk"}, {"BirthDay", ""}})).error->message,
              "生年月日の日が空欄です。");
    EXPECT_EQ(validate(with(good_form(), {{"BirthDay", "31"}, {"BirthMonth", "04"}, {"Zip1", "x"}})).error->message,
              "誕生日の日付が間違っています。");
}

// A field the page lacks reads as empty: nothing of an earlier form survives into the details.
TEST(RegistrationChecks, AFieldThePageLacksReadsAsEmpty) {
    FormValues form = good_form();
    for (const char* id : {"State", "City", "Address1", "Address2", "mailID", "Zip2", "Phone3"}) form.erase(id);
    const Validation v = validate(form);
    ASSERT_FALSE(v.error);
    EXPECT_EQ(v.candidate.info.strState, "");
    EXPECT_EQ(v.candidate.info.strCity, "");
    EXPECT_EQ(v.candidate.info.strAddress1, "");
    EXPECT_EQ(v.candidate.info.strAddress2, "");
    EXPECT_EQ(v.candidate.info.strEmail, "");
    EXPECT_EQ(v.candidate.info.strZipCode, "");
    EXPECT_EQ(v.candidate.info.strTel, "");

    form = good_form();
    form.erase("KanaGivenName");
    EXPECT_EQ(validate(form).error->message, "かなの名が空欄です。");
}

TEST(RegistrationChecks, KanaNames) {
    struct Case {
        const char* kana;
        bool passes;
    } cases[] = {
        {"らーめん", true}, {"やま だ", false}, {"やま　だ", false}, {"ヤマダ", false},
        {"やまゐ", false},  {"ゔぁ", false},   {"やまｰ", false},    {"やま'", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kana);
        EXPECT_EQ(!validate(with(good_form(), {{"KanaFamilyName", c.kana}})).error, c.passes);
        EXPECT_EQ(!validate(with(good_form(), {{"KanaGivenName", c.kana}})).error, c.passes);
    }
}

TEST(RegistrationChecks, LatinNamesAreHeldInUpperCase) {
    const Validation v = validate(with(good_form(), {{"RomaFamilyName", "van der Berg"}, {"RomaGivenName", "ann"}}));
    ASSERT_FALSE(v.error);
    EXPECT_EQ(v.candidate.roma_family_name, "VAN DER BERG");
    EXPECT_EQ(v.candidate.roma_given_name, "ANN");
    EXPECT_EQ(v.candidate.info.strRomaName, "VAN DER BERG ANN");
    // Exactly fifty letters, blanks included, still pass.
    EXPECT_FALSE(validate(with(good_form(), {{"RomaFamilyName", std::string(25, 'a') + " " + std::string(24, 'b')}}))
                     .error);
}

// The kanji names are counted and sent in their wide form, "<" taken out first.
TEST(RegistrationChecks, KanjiNamesAreCountedWide) {
    struct Case {
        const char* typed;
        bool passes;
        const char* held;
    } cases[] = {
        {"abcdefghij", true, "ａｂｃｄｅｆｇｈｉｊ"},
        {"abcdefghijk", false, ""},
        {"ＡＢＣＤＥＦＧＨＩＪ", true, "ＡＢＣＤＥＦＧＨＩＪ"},
        {"ＡＢＣＤＥＦＧＨＩＪＫ", false, ""},
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞ", true, "ガギグゲゴザジズゼゾ"},  // twenty half-width, ten wide
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾊﾟ", false, ""},
        {"<a<b<c<d<e<f<g<h<i<j<", true, "ａｂｃｄｅｆｇｈｉｊ"},
        {"Mc Lean", true, "Ｍｃ　Ｌｅａｎ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const Validation family = validate(with(good_form(), {{"KanjiFamilyName", c.typed}}));
        const Validation given = validate(with(good_form(), {{"KanjiGivenName", c.typed}}));
        EXPECT_EQ(!family.error, c.passes);
        EXPECT_EQ(!given.error, c.passes);
        if (c.passes) {
            EXPECT_EQ(family.candidate.kanji_family, c.held);
            EXPECT_EQ(family.candidate.kanji_name, std::string(c.held) + " 花子");
            EXPECT_EQ(given.candidate.kanji_given, c.held);
        } else {
            EXPECT_EQ(family.error->message, "苗字は10文字までです。");
            EXPECT_EQ(given.error->message, "名前は10文字までです。");
        }
    }
}

TEST(RegistrationChecks, BirthDates) {
    struct Case {
        const char *year, *month, *day;
        bool passes;
    } cases[] = {
        {"1999", "06", "06", true},  {"1999", "02", "30", false}, {"2000", "02", "29", true},
        {"1900", "02", "29", false}, {"1999<", "06", "<06", true}, {"1999", "6", "6", true},
    };
    for (const auto& c : cases) {
        const std::string date = std::string(c.year) + "/" + c.month + "/" + c.day;
        SCOPED_TRACE(date);
        const Validation v = validate(with(good_form(), {{"BirthYear", c.year}, {"BirthMonth", c.month}, {"BirthDay", c.day}}));
        if (c.passes) {
            EXPECT_FALSE(v.error);
            EXPECT_EQ(v.candidate.info.strBirthday, common::replace_all(date, "<", ""));
        } else {
            ASSERT_TRUE(v.error);
            EXPECT_EQ(*v.error, (InputError{"誕生日の日付が間違っています。", std::nullopt}));
        }
    }
}

struct GateCase {
    const char* name;
    FormValues changes;
    bool passes;
    std::string email, zip, tel;
};

TEST(RegistrationChecks, EmailPostalCodeAndTelephoneGates) {
    const GateCase cases[] = {
        // E-mail: both parts or none; with one part no check runs, however wrong it is.
        {"user name only", {{"mailDomain", ""}, {"mailID", "bad address!"}}, true, "", "123-4567", "03-1234-5678"},
        {"domain only", {{"mailID", ""}, {"mailDomain", ".."}}, true, "", "123-4567", "03-1234-5678"},
        {"full-width address", {{"mailID", "ｈａｎａｋｏ"}, {"mailDomain", "ｅｘａｍｐｌｅ．ｊｐ"}}, true,
         "hanako@example.jp", "123-4567", "03-1234-5678"},
        {"no dot at all", {{"mailID", "root"}, {"mailDomain", "localhost"}}, true, "root@localhost", "123-4567",
         "03-1234-5678"},
        {"exactly 100", {{"mailID", std::string(89, 'a')}}, true, std::string(89, 'a') + "@example.jp", "123-4567",
         "03-1234-5678"},
        {"101", {{"mailID", std::string(90, 'a')}}, false, "", "", ""},
        {"two dots", {{"mailID", "hana..ko"}}, false, "", "", ""},
        {"domain ends in a dot", {{"mailDomain", "example.jp."}}, false, "", "", ""},
        {"apostrophe in the address", {{"mailID", "o'neil"}}, true, "o'neil@example.jp", "123-4567", "03-1234-5678"},
        // Postal code: only parts that are too long fail; full-width digits are held narrow.
        {"first part only", {{"Zip2", ""}, {"Zip1", "abcd"}}, true, "hanako.yamada@example.jp", "", "03-1234-5678"},
        {"second part only", {{"Zip1", ""}, {"Zip2", "x"}}, true, "hanako.yamada@example.jp", "", "03-1234-5678"},
        {"short parts", {{"Zip1", "12"}, {"Zip2", "345"}}, true, "hanako.yamada@example.jp", "12-345", "03-1234-5678"},
        {"full-width digits", {{"Zip1", "１２３"}, {"Zip2", "４５６７"}}, true, "hanako.yamada@example.jp",
         "123-4567", "03-1234-5678"},
        {"four full-width digits", {{"Zip1", "１２３４"}}, false, "", "", ""},
        {"apostrophe", {{"Zip1", "12'"}}, true, "hanako.yamada@example.jp", "12'-4567", "03-1234-5678"},
        // Telephone: all three parts or nothing.
        {"two parts", {{"Phone3", ""}, {"Phone1", "abc"}}, true, "hanako.yamada@example.jp", "123-4567", ""},
        {"one part", {{"Phone1", ""}, {"Phone2", ""}, {"Phone3", "x"}}, true, "hanako.yamada@example.jp",
         "123-4567", ""},
        {"full-width telephone", {{"Phone1", "０３"}, {"Phone2", "１２３４"}, {"Phone3", "５６７８"}}, true,
         "hanako.yamada@example.jp", "123-4567", "03-1234-5678"},
        {"exactly 20", {{"Phone1", "0312345678"}, {"Phone2", "1234"}, {"Phone3", "6789"}}, true,
         "hanako.yamada@example.jp", "123-4567", "0312345678-1234-6789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Validation v = validate(with(good_form(), c.changes));
        EXPECT_EQ(!v.error, c.passes) << (v.error ? v.error->message : "");
        if (!c.passes || v.error) continue;
        EXPECT_EQ(v.candidate.info.strEmail, c.email);
        EXPECT_EQ(v.candidate.info.strZipCode, c.zip);
        EXPECT_EQ(v.candidate.info.strTel, c.tel);
    }
}

// "<" goes before the length checks, "!" of the address lines only after them.
TEST(RegistrationChecks, AddressLinesLoseMarkupCharacters) {
    Validation v = validate(with(good_form(), {{"City", "<千代田区!>"}, {"Address1", "丸の内<1-1!"}, {"Address2", "!ビル<"}}));
    ASSERT_FALSE(v.error);
    EXPECT_EQ(v.candidate.info.strCity, "千代田区>");
    EXPECT_EQ(v.candidate.info.strAddress1, "丸の内1-1");
    EXPECT_EQ(v.candidate.info.strAddress2, "ビル");

    EXPECT_FALSE(validate(with(good_form(), {{"City", repeat("区", 20) + "!!<"}})).error);
    EXPECT_FALSE(validate(with(good_form(), {{"Address1", repeat("町", 50) + "<<"}})).error);
    EXPECT_EQ(validate(with(good_form(), {{"Address1", repeat("町", 49) + "!!"}})).error->message,
              "町名・番地は50文字までです。");
    EXPECT_EQ(validate(with(good_form(), {{"Address2", repeat("館", 50) + "!"}})).error->message,
              "マンション名などは50文字までです。");
}

TEST(RegistrationChecks, SampleFillIsNeededOnlyForAnEmptyKanjiFamilyName) {
    EXPECT_TRUE(needs_sample_fill({}));
    EXPECT_TRUE(needs_sample_fill(with(good_form(), {{"KanjiFamilyName", ""}})));
    EXPECT_FALSE(needs_sample_fill(with(good_form(), {{"KanjiFamilyName", " "}})));
    // The sample itself passes every check.
    FormValues sample;
    for (const auto& [id, value] : kSampleValues) sample[id] = value;
    const Validation v = validate(sample);
    ASSERT_FALSE(v.error) << v.error->message;
    EXPECT_EQ(v.candidate.kanji_name, "Ｏｒｖａｎｅ 太郎");
    EXPECT_EQ(v.candidate.info.strRomaName, "A A");
}

TEST(Confirmation, LabelTexts) {
    const Validation v = validate(good_form());
    const ConfirmationTexts t = confirmation_texts(v.candidate.kanji_name, v.candidate.info);
    EXPECT_EQ(t.lblName, "山田 花子\r\nやまだ はなこ\r\nYAMADA HANAKO");
    EXPECT_EQ(t.lblSeibetu, "女");
    EXPECT_EQ(t.lblWork, "会社員");
    EXPECT_EQ(t.lblBirthday, "1985/04/12");
    EXPECT_EQ(t.lblEmail, "hanako.yamada@example.jp");
    EXPECT_EQ(t.lblZipcode, "123-4567");
    EXPECT_EQ(t.lblAddress, "東京都千代田区丸の内1-1");
    EXPECT_EQ(t.lblAddress2, "オルヴァンビル5F");
    EXPECT_EQ(t.lblTel, "03-1234-5678");
}

TEST(UriComponent, OnlyTheUnreservedCharactersStay) {
    EXPECT_EQ(encode_uri_component(""), "");
    EXPECT_EQ(encode_uri_component("AZaz09-_.!~*'()"), "AZaz09-_.!~*'()");
    EXPECT_EQ(encode_uri_component(" \"#$%&+,/:;<=>?@[\\]^`{|}"),
              "%20%22%23%24%25%26%2B%2C%2F%3A%3B%3C%3D%3E%3F%40%5B%5C%5D%5E%60%7B%7C%7D");
    EXPECT_EQ(encode_uri_component("\r\n\t\x7f"), "%0D%0A%09%7F");
    EXPECT_EQ(encode_uri_component("山田"), "%E5%B1%B1%E7%94%B0");
    EXPECT_EQ(encode_uri_component("　"), "%E3%80%80");
    EXPECT_EQ(encode_uri_component("é"), "%C3%A9");
    EXPECT_EQ(encode_uri_component("😀"), "%F0%9F%98%80");
    // Text that is not UTF-8 cannot be encoded, as a lone surrogate cannot in the script.
    for (const char* bad : {"\xff", "\xc3", "\xed\xa0\x80", "\xc0\xaf", "\xf4\x90\x80\x80", "a\x80"}) {
        EXPECT_THROW(encode_uri_component(bad), std::invalid_argument);
    }
}

// One candidate's query, key by key: encoded and raw values, the zip code without "-".
TEST(RegistrationQuery, ExactTextForOneCandidate) {
    const Validation v = validate({
        {"KanjiFamilyName", "山田"}, {"KanjiGivenName", "Ann"},  {"KanaFamilyName", "やまだ"},
        {"KanaGivenName", "あん"},   {"RomaFamilyName", "van der Berg"}, {"RomaGivenName", "Ann"},
        {"Sex", "女"},               {"Job", "会社員"},           {"BirthYear", "1985"},
        {"BirthMonth", "04"},        {"BirthDay", "12"},          {"mailID", "ａｎｎ.y"},
        {"mailDomain", "example.jp"}, {"Zip1", "１２３"},         {"Zip2", "4567"},
        {"State", "東京都(!~*')"},   {"City", "千代田区 "},       {"Address1", "丸の内1-1"},
        {"Address2", "A&B=C ビル"},  {"Phone1", "03"},            {"Phone2", "1234"},
        {"Phone3", "5678"},
    });
    ASSERT_FALSE(v.error) << v.error->message;
    EXPECT_EQ(v.candidate.info.strZipCode, "123-4567");
    EXPECT_EQ(registration_query({&v.candidate, "quib", -42}),
              "?KFN=%E5%B1%B1%E7%94%B0"
              "&KGN=%EF%BC%A1%EF%BD%8E%EF%BD%8E"
              "&KanaFN=%E3%82%84%E3%81%BE%E3%81%A0"
              "&KanaGN=%E3%81%82%E3%82%93"
              "&RFN=VAN DER BERG"
              "&RGN=ANN"
              "&Sex=%E5%A5%B3"
              "&Work=%E4%BC%9A%E7%A4%BE%E5%93%A1"
              "&Birthday=1985/04/12"
              "&Email=ann.y@example.jp"
              "&Zip=1234567"
              "&State=%E6%9D%B1%E4%BA%AC%E9%83%BD(!~*')"
              "&City=%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA%20"
              "&Address1=%E4%B8%B8%E3%81%AE%E5%86%851-1"
              "&Address2=A%26B%3DC%20%E3%83%93%E3%83%AB"
              "&Tel=03-1234-5678"
              "&Password=quib"
              "&ExeID=-42");
}

TEST(RegistrationQuery, EmptyDetailsStillSendEveryKey) {
    FormValues sample;
    for (const auto& [id, value] : kSampleValues) sample[id] = value;
    const Validation v = validate(sample);
    ASSERT_FALSE(v.error);
    EXPECT_EQ(registration_query({&v.candidate, "quib", 0}),
              "?KFN=%EF%BC%AF%EF%BD%92%EF%BD%96%EF%BD%81%EF%BD%8E%EF%BD%85&KGN=%E5%A4%AA%E9%83%8E"
              "&KanaFN=%E3%81%82&KanaGN=%E3%81%82&RFN=A&RGN=A&Sex=%E7%94%B7"
              "&Work=%E9%AB%98%E6%A0%A1%E7%94%9F&Birthday=1999/06/06&Email=&Zip=&State=&City="
              "&Address1=&Address2=&Tel=&Password=quib&ExeID=0");
}

struct AnswerRow {
    std::string text;
    Kind kind;
    std::string reason;
    std::optional<int32_t> jid, result_id;
};

// The answer's numbers have "." as their decimal mark whatever the desktop's locale.
class RegistrationAnswerReading : public fakes::UnderNumericLocale {};

TEST_P(RegistrationAnswerReading, Table) {
    const std::string bat_tim = "試験実施可能時間を過ぎています。試験時間の確認をお願いいたします。";
    const std::string add_err = "受験者登録に失敗しました。繰り返し失敗する場合は試験センターにお問い合わせください。";
    const std::optional<int32_t> none;
    const AnswerRow rows[] = {
        {"123,456", Kind::Registered, "", 123, 456},
        {"123", Kind::Registered, "", 123, none},
        {"12.5,13.5", Kind::Registered, "", 12, 14},  // halves to the even neighbour
        {"2.5,-3.5", Kind::Registered, "", 2, -4},
        {"99999999999", Kind::Registered, "", none, none},  // a number, but too large: jid stays
        {"99999999999,7", Kind::Registered, "", none, 7},
        {"-2147483648,2147483647", Kind::Registered, "", INT32_MIN, INT32_MAX},
        {"1,2147483648", Kind::Registered, "", 1, none},
        {"1e3,0", Kind::Registered, "", 1000, 0},
        {"123,456\r\n", Kind::Registered, "", 123, 456},  // a line end after the answer
        {"ng...", Kind::Registered, "", none, none},
        {"OK", Kind::Registered, "", none, none},
        {"abc,def", Kind::Registered, "", none, none},
        {"WARNING,5", Kind::Failed, "", none, 5},
        {"xNG,y", Kind::Failed, "", none, none},
        {"NG", Kind::Refused, "", none, none},
        {"NG:bat tim", Kind::Refused, bat_tim, none, none},
        {"NG BAT TIMEOUT", Kind::Refused, bat_tim, none, none},
        {"NG ADD ERR", Kind::Refused, add_err, none, none},
        {"NG RESULT x", Kind::Refused, add_err, none, none},
        {"NG RESULT", Kind::Refused, "", none, none},  // the code needs its blank
        {"NG UNKNOWN", Kind::Refused, "", none, none},
        {"NG,123,456", Kind::Refused, "", none, none},
        {"NGBAT TIM", Kind::Refused, "", none, none},  // character 3 is skipped, not the code's first
        {" NG:BAT TIM", Kind::Failed, "", none, none},  // not at the first position
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        const RegistrationAnswer a = read_answer(r.text);
        EXPECT_EQ(a.kind, r.kind);
        EXPECT_EQ(a.reason, r.reason);
        EXPECT_EQ(a.jid, r.jid);
        EXPECT_EQ(a.result_id, r.result_id);
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, RegistrationAnswerReading, fakes::kNumericLocales, fakes::numeric_locale_name);

}  // namespace
