#include "registration_form.h"

#include <cmath>
#include <stdexcept>

#include "char_checks.h"
#include "common/japanese.h"
#include "common/text.h"
#include "platform/browser.h"

namespace main_window {

using common::len;
using common::replace_all;
using common::to_narrow;
using common::to_wide;

const std::array<const char*, 22> kFormFields = {
    "KanjiFamilyName", "KanjiGivenName", "KanaFamilyName", "KanaGivenName", "RomaFamilyName", "RomaGivenName",
    "Sex",             "Job",            "BirthYear",      "BirthMonth",    "BirthDay",       "mailID",
    "mailDomain",      "Zip1",           "Zip2",           "State",         "City",           "Address1",
    "Address2",        "Phone1",         "Phone2",         "Phone3",
};

const std::array<std::pair<const char*, const char*>, 11> kSampleValues = {{
    {"KanjiFamilyName", "Orvane"},
    {"KanjiGivenName", "太郎"},
    {"KanaFamilyName", "あ"},
    {"KanaGivenName", "あ"},
    {"RomaFamilyName", "a"},
    {"RomaGivenName", "a"},
    {"Sex", "男"},
    {"Job", "高校生"},
    {"BirthYear", "1999"},
    {"BirthMonth", "06"},
    {"BirthDay", "06"},
}};

std::string value_of(const FormValues& form, const std::string& id) {
    auto it = form.find(id);
    return it == form.end() ? std::string() : it->second;
}

FormValues read_form(platform::BrowserPane& page) {
    FormValues form;
    try {
        const std::vector<std::string> keys(kFormFields.begin(), kFormFields.end());
        for (const auto& field : page.read_fields(keys)) {
            if (field.present()) form[field.key] = field.first_value();
        }
    } catch (const std::exception&) {
        // A page that cannot be read holds nothing the candidate typed.
        form.clear();
    }
    return form;
}

bool needs_sample_fill(const FormValues& form) { return value_of(form, "KanjiFamilyName").empty(); }

namespace {
CandidateInfo g_candidate_info;

std::string without(const std::string& s, const std::string& what) { return replace_all(s, what, ""); }
}  // namespace

CandidateInfo& candidate_info() { return g_candidate_info; }
void reset_candidate_info() { g_candidate_info = CandidateInfo{}; }

std::string ascii_upper(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

Validation validate(const FormValues& form) {
    auto field = [&](const char* id) { return value_of(form, id); };
    Validation v;
    Candidate& c = v.candidate;
    CandidateInfo& info = c.info;

    const std::string kanji_family = field("KanjiFamilyName");
    const std::string kanji_given = field("KanjiGivenName");
    const std::string kana_family = field("KanaFamilyName");
    const std::string kana_given = field("KanaGivenName");
    const std::string roma_family = field("RomaFamilyName");
    const std::string roma_given = field("RomaGivenName");
    const std::string mail_id = field("mailID");
    const std::string mail_domain = field("mailDomain");
    const std::string zip1 = field("Zip1");
    const std::string zip2 = field("Zip2");
    const std::string phone1 = field("Phone1");
    const std::string phone2 = field("Phone2");
    const std::string phone3 = field("Phone3");

    c.kanji_family = to_wide(without(kanji_family, "<"));
    c.kanji_given = to_wide(without(kanji_given, "<"));
    c.kana_family = kana_family;
    c.kana_given = kana_given;
    c.kanji_name = c.kanji_family + " " + c.kanji_given;
    info.strKanaName = c.kana_family + " " + c.kana_given;
    c.roma_family_name = ascii_upper(roma_family);
    c.roma_given_name = ascii_upper(roma_given);
    info.strRomaName = c.roma_family_name + " " + c.roma_given_name;
    info.strSex = field("Sex");
    info.strJob = field("Job");
    info.strBirthday = without(field("BirthYear") + "/" + field("BirthMonth") + "/" + field("BirthDay"), "<");
    const bool has_mail = !mail_id.empty() && !mail_domain.empty();
    if (has_mail) info.strEmail = to_narrow(mail_id) + "@" + to_narrow(mail_domain);
    const bool has_zip = !zip1.empty() && !zip2.empty();
    if (has_zip) info.strZipCode = to_narrow(zip1) + "-" + to_narrow(zip2);
    info.strState = field("State");
    info.strCity = without(without(field("City"), "<"), "!");
    const std::string address1 = without(field("Address1"), "<");
    const std::string address2 = without(field("Address2"), "<");
    info.strAddress1 = without(address1, "!");
    info.strAddress2 = without(address2, "!");
    const bool has_tel = !phone1.empty() && !phone2.empty() && !phone3.empty();
    if (has_tel) info.strTel = to_narrow(phone1) + "-" + to_narrow(phone2) + "-" + to_narrow(phone3);

    auto fail = [&](const char* message, std::optional<std::string> focus) {
        v.error = InputError{message, std::move(focus)};
        return v;
    };
    const std::optional<std::string> unchanged;

    if (kanji_family.empty()) return fail("漢字の姓が空欄です。", "KanjiFamilyName");
    if (kanji_given.empty()) return fail("漢字の名が空欄です。", "KanjiGivenName");
    if (kana_family.empty()) return fail("かなの姓が空欄です。", "KanaFamilyName");
    if (!hiragana_only(kana_family)) return fail("かなの姓にかな以外の字が使用されています。", "KanaFamilyName");
    if (kana_given.empty()) return fail("かなの名が空欄です。", "KanaGivenName");
    if (!hiragana_only(kana_given)) return fail("かなの名にかな以外の字が使用されています。", "KanaGivenName");
    if (roma_family.empty()) return fail("ローマ字の姓が空欄です。", "RomaFamilyName");
    if (!letters_only(roma_family))
        return fail("ローマ字の姓にアルファベット以外の字が使用されています。", "RomaFamilyName");
    if (roma_given.empty()) return fail("ローマ字の名が空欄です。", "RomaGivenName");
    if (!letters_only(roma_given))
        return fail("ローマ字の名にアルファベット以外の字が使用されています。", "RomaGivenName");
    if (info.strSex.empty()) return fail("性別が空欄です。", "Sex");
    if (info.strJob.empty()) return fail("職業が空欄です。", "Job");
    if (field("BirthYear").empty()) return fail("生年月日の年が空欄です。", "BirthYear");
    if (field("BirthMonth").empty()) return fail("生年月日の月が空欄です。", "BirthMonth");
    if (field("BirthDay").empty()) return fail("生年月日の日が空欄です。", "BirthDay");
    if (len(c.kanji_family) > 10) return fail("苗字は10文字までです。", "KanjiFamilyName");
    if (len(c.kanji_given) > 10) return fail("名前は10文字までです。", "KanjiGivenName");
    if (len(c.kana_family) > 30) return fail("苗字ふりがなは30文字までです。", "KanaFamilyName");
    if (len(c.kana_given) > 30) return fail("名前ふりがなは30文字までです。", "KanaGivenName");
    if (len(c.roma_family_name) > 50) return fail("苗字ローマ字は50文字までです。", "RomaFamilyName");
    if (len(c.roma_given_name) > 50) return fail("名前ローマ字は50文字までです。", "RomaGivenName");
    if (!is_valid_date(info.strBirthday)) return fail("誕生日の日付が間違っています。", unchanged);

    if (has_mail) {
        if (!mail_chars_only(to_narrow(mail_id))) return fail("メールのユーザー名が間違っています。", "mailID");
        if (!mail_chars_only(to_narrow(mail_domain))) return fail("メールのドメインが間違っています。", "mailDomain");
        if (len(info.strEmail) > 100) return fail("メールアドレスは100文字までです。", "mailID");
        const std::string& e = info.strEmail;
        if (e.front() == '.' || e.find("..") != std::string::npos || e.back() == '.')
            return fail("メールアドレスが間違っています。", unchanged);
    }
    if (has_zip) {
        if (len(zip1) > 3) return fail("郵便番号が間違っています。", "Zip1");
        if (!digits_only(to_narrow(zip1))) return fail("郵便番号が間違っています。", unchanged);
        if (len(zip2) > 4) return fail("郵便番号が間違っています。", "Zip2");
        if (!digits_only(to_narrow(zip2))) return fail("郵便番号が間違っています。", unchanged);
    }
    if (len(info.strCity) > 20) return fail("市区郡は20文字までです。", "City");
    if (len(address1) > 50) return fail("町名・番地は50文字までです。", "Address1");
    if (len(address2) > 50) return fail("マンション名などは50文字までです。", "Address2");
    if (has_tel) {
        if (!digits_only(to_narrow(phone1))) return fail("電話番号が間違っています。", unchanged);
        if (!digits_only(to_narrow(phone2))) return fail("電話番号が間違っています。", unchanged);
        if (!digits_only(to_narrow(phone3))) return fail("電話番号が間違っています。", unchanged);
        // The number as a whole is too long: the candidate starts again at its first part.
        if (len(info.strTel) > 20) return fail("電話番号は20文字までです。", "Phone1");
    }
    return v;
}

ConfirmationTexts confirmation_texts(const std::string& kanji_name, const CandidateInfo& info) {
    ConfirmationTexts t;
    t.lblName = kanji_name + common::CRLF + info.strKanaName + common::CRLF + info.strRomaName;
    t.lblSeibetu = info.strSex;
    t.lblWork = info.strJob;
    t.lblBirthday = info.strBirthday;
    t.lblEmail = info.strEmail;
    t.lblZipcode = info.strZipCode;
    t.lblAddress = info.strState + info.strCity + info.strAddress1;
    t.lblAddress2 = info.strAddress2;
    t.lblTel = info.strTel;
    return t;
}

namespace {

bool unreserved(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
        case '-': case '_': case '.': case '!': case '~': case '*': case '\'': case '(': case ')':
            return true;
        default:
            return false;
    }
}

// Length of the UTF-8 sequence at i, or 0 when it is not a well-formed one (overlong forms,
// surrogates and code points past U+10FFFF included).
size_t utf8_sequence(const std::string& s, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = b(i);
    size_t n;
    uint32_t cp;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
    if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
    return n;
}

}  // namespace

std::string encode_uri_component(const std::string& utf8) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = utf8_sequence(utf8, i);
        if (n == 0) throw std::invalid_argument("encode_uri_component: text is not UTF-8");
        for (size_t k = i; k < i + n; ++k) {
            const auto c = static_cast<unsigned char>(utf8[k]);
            if (unreserved(c)) {
                out += static_cast<char>(c);
            } else {
                out += '%';
                out += kHex[c >> 4];
                out += kHex[c & 0x0F];
            }
        }
        i += n;
    }
    return out;
}

std::string registration_query(const RegistrationRequest& request) {
    const Candidate& c = *request.candidate;
    const CandidateInfo& info = c.info;
    const auto enc = encode_uri_component;
    std::string q;
    q += "?KFN=" + enc(c.kanji_family);
    q += "&KGN=" + enc(c.kanji_given);
    q += "&KanaFN=" + enc(c.kana_family);
    q += "&KanaGN=" + enc(c.kana_given);
    q += "&RFN=" + c.roma_family_name;
    q += "&RGN=" + c.roma_given_name;
    q += "&Sex=" + enc(info.strSex);
    q += "&Work=" + enc(info.strJob);
    q += "&Birthday=" + info.strBirthday;
    q += "&Email=" + info.strEmail;
    q += "&Zip=" + without(info.strZipCode, "-");
    q += "&State=" + enc(info.strState);
    q += "&City=" + enc(info.strCity);
    q += "&Address1=" + enc(info.strAddress1);
    q += "&Address2=" + enc(info.strAddress2);
    q += "&Tel=" + info.strTel;
    q += "&Password=" + request.password;
    q += "&ExeID=" + std::to_string(request.exe_id);
    return q;
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The number a text reads as: blanks (line ends included) around it, a sign, digits with an
// optional decimal point, an optional exponent. Nothing for any other text.
std::optional<double> parse_number(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && is_blank(text[b])) ++b;
    while (e > b && is_blank(text[e - 1])) --e;
    const std::string t = text.substr(b, e - b);
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t exp_digits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exp_digits;
        if (exp_digits == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    return common::decimal_value(t);
}

}  // namespace

bool reads_as_number(const std::string& text) { return parse_number(text).has_value(); }

std::optional<int32_t> answer_number(const std::string& text) {
    const std::optional<double> v = parse_number(text);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    // The default rounding mode takes halves to the even neighbour.
    const double r = std::nearbyint(*v);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<int32_t>(r);
}

std::string refusal_reason(const std::string& code) {
    const std::string add_error =
        std::string("受験者登録に失敗しました。") + "繰り返し失敗する場合は試験センターにお問い合わせください。";
    if (code == "BAT TIM") return std::string("試験実施可能時間を過ぎています。") + "試験時間の確認をお願いいたします。";
    if (code == "ADD ERR" || code == "RESULT ") return add_error;
    return {};
}

RegistrationAnswer read_answer(const std::string& text) {
    RegistrationAnswer a;
    if (common::starts_with(text, "NG")) {
        a.kind = RegistrationAnswer::Kind::Refused;
        a.reason = refusal_reason(ascii_upper(common::mid(text, 4, 7)));
        return a;
    }
    const std::vector<std::string> fields = common::split(text, ",");
    if (fields.size() > 1) a.result_id = answer_number(fields[1]);
    const std::string first = fields.empty() ? std::string() : fields[0];
    if (reads_as_number(first)) {
        // A number too large for the counter leaves it as it was; the registration stands.
        a.jid = answer_number(first);
    } else if (first.find("NG") != std::string::npos) {
        a.kind = RegistrationAnswer::Kind::Failed;
    }
    return a;
}

}  // namespace main_window
