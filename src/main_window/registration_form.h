#pragma once
// The registration form in plain values: the sample fill, the checks in their order with
// their messages and focus targets, the candidate's details derived from the form, the
// confirmation texts, the registration request and the reading of the server's answer.
// Nothing here touches a window, so every rule can be exercised on values alone.
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {
class BrowserPane;
}

namespace main_window {

// The ids of the form's fields, in the order of the page.
extern const std::array<const char*, 22> kFormFields;

// Field id to its value as typed. A field the page lacks reads as "".
using FormValues = std::map<std::string, std::string>;
std::string value_of(const FormValues& form, const std::string& id);

// All fields of the form in one round trip. When the page cannot be read at all, every
// field reads as "".
FormValues read_form(platform::BrowserPane& page);

// The sample candidate written into the form when its kanji family name is empty, in the
// order it is written.
extern const std::array<std::pair<const char*, const char*>, 11> kSampleValues;
bool needs_sample_fill(const FormValues& form);

// The candidate's details kept between the check of the form and the registration; they
// outlive an unload of the main window.
struct CandidateInfo {
    std::string strKanaName;
    std::string strRomaName;
    std::string strSex;
    std::string strJob;
    std::string strBirthday;
    std::string strEmail;
    std::string strZipCode;
    std::string strState;
    std::string strCity;
    std::string strAddress1;
    std::string strAddress2;
    std::string strTel;
};
CandidateInfo& candidate_info();
void reset_candidate_info();

// Everything one pass over the form derives.
struct Candidate {
    // Texts of one pass: the kanji names without "<" in their wide form, the kana names as typed.
    std::string kanji_family;
    std::string kanji_given;
    std::string kana_family;
    std::string kana_given;
    std::string kanji_name;  // strKanjiName
    std::string roma_family_name;
    std::string roma_given_name;
    CandidateInfo info;
};

// The first check that fails: its message for the input-error dialog and the field that
// gets the focus afterwards (none: the focus stays where it was).
struct InputError {
    std::string message;
    std::optional<std::string> focus;
    bool operator==(const InputError&) const = default;
};

struct Validation {
    std::optional<InputError> error;  // empty: the form passed every check
    Candidate candidate;              // complete only when the form passed
};

// Runs the checks in their order on the form as it stands (after any sample fill).
Validation validate(const FormValues& form);

// a-z to A-Z; every other character stays.
std::string ascii_upper(const std::string& s);

// The value texts of the confirmation dialog.
struct ConfirmationTexts {
    std::string lblName, lblSeibetu, lblWork, lblBirthday, lblEmail, lblZipcode, lblAddress, lblAddress2, lblTel;
};
ConfirmationTexts confirmation_texts(const std::string& kanji_name, const CandidateInfo& info);

// ECMAScript's encodeURIComponent on UTF-8 text: every byte but A-Z a-z 0-9 - _ . ! ~ * ' ( )
// as %XX (upper-case hex). Throws std::invalid_argument for text that is not UTF-8.
std::string encode_uri_component(const std::string& utf8);

// What the request sends, besides the address of the endpoint.
struct RegistrationRequest {
    const Candidate* candidate = nullptr;  // names and details of the pass that confirmed
    std::string password;
    int32_t exe_id = 0;
};
// "?KFN=...&ExeID=..." with its eighteen keys in their order; the zip code is sent without "-".
// Throws std::invalid_argument when a value to be encoded is not UTF-8.
std::string registration_query(const RegistrationRequest& request);

// The reading of the server's answer (already decoded to UTF-8).
struct RegistrationAnswer {
    enum class Kind {
        Refused,     // began with "NG": reason holds the message for the failure dialog
        Registered,  // the examination may start
        Failed,      // the first field holds "NG": the program ends after the failure dialog
    };
    Kind kind = Kind::Registered;
    std::string reason;
    std::optional<int32_t> jid;        // set only when the answer gave one
    std::optional<int32_t> result_id;  // set only when the answer gave one
};
RegistrationAnswer read_answer(const std::string& text);

// The message for a refusal's reason code (already upper-cased); "" for an unlisted code.
std::string refusal_reason(const std::string& code);

// The text converted to a 32-bit integer as the answer's numbers are: blanks around it
// allowed, sign, decimal fraction and exponent, halves to the even neighbour. Nothing for a
// text that is no number or lies outside the 32-bit range.
std::optional<int32_t> answer_number(const std::string& text);
// Whether the text reads as a number at all, whatever its size.
bool reads_as_number(const std::string& text);

}  // namespace main_window
