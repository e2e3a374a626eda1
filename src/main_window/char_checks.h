#pragma once
// The character-class checks of the registration form and its date check.
#include <string>

namespace main_window {

// True when every character of text is one of the set's; an empty text is true. A text
// longer than 32,767 UTF-16 units is false.
bool letters_only(const std::string& text);     // a-z, A-Z and the blank
bool mail_chars_only(const std::string& text);  // the apostrophe, digits, letters, "-", "_", "."
bool digits_only(const std::string& text);      // the apostrophe and the digits
bool hiragana_only(const std::string& text);    // hiragana (without ゐ, ゑ, ゔ) and "ー"

// A date written year "/" month "/" day that exists in the calendar. Year, month and day
// are ASCII digits; a year of one or two digits lies in 1930 to 2029, otherwise it is taken
// as written and must lie in 100 to 9999.
bool is_valid_date(const std::string& text);

}  // namespace main_window
