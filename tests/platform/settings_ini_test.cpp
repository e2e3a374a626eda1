// The INI settings reader: private-profile lookup rules on CP932 files.
#include <gtest/gtest.h>

#include <string>

#include "platform/backends.h"
#include "platform/settings_ini.h"
#include "support/temp_dir.h"

namespace {

struct LookupCase {
    const char* name;
    std::string file;  // CP932 bytes
    std::string section, key;
    std::string expected;  // CP932 bytes
};

// "ゾ" is 83 5D and "ー" 81 5B: trail bytes that look like ']' and '['.
// "ア" is 83 41 and "ヂ" 83 61: trail bytes that look like 'A' and 'a'.
const std::string kZo = "\x83\x5D";
const std::string kA = "\x83\x41";
const std::string kDi = "\x83\x61";

class LookupTable : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupTable, FindsTheValue) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(platform::ini::lookup(c.file, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LookupTable,
    ::testing::Values(
        LookupCase{"plain", "[server]\nregister=https://a/r\nresult=https://a/x\n", "server", "result", "https://a/x"},
        LookupCase{"crlf_lines", "[server]\r\nresult=https://a/x\r\n", "server", "result", "https://a/x"},
        LookupCase{"cr_only_lines", "[server]\rregister=https://a/r\rresult=https://a/x\r", "server", "result",
                   "https://a/x"},
        LookupCase{"mixed_line_ends", "[other]\r\nresult=no\r[server]\nresult=yes\r\n", "server", "result", "yes"},
        LookupCase{"cr_ends_an_empty_value", "[server]\rresult=\rregister=x", "server", "result", ""},
        LookupCase{"cr_ends_a_comment", "[server]\r;old\rresult=x", "server", "result", "x"},
        LookupCase{"missing_section", "[other]\nresult=x\n", "server", "result", ""},
        LookupCase{"missing_key", "[server]\nregister=x\n", "server", "result", ""},
        LookupCase{"key_only_in_other_section", "[server]\na=1\n[other]\nresult=x\n", "server", "result", ""},
        LookupCase{"section_other_case", "[SeRvEr]\nresult=x\n", "server", "result", "x"},
        LookupCase{"key_other_case", "[server]\nRESULT=x\n", "Server", "Result", "x"},
        LookupCase{"blanks_trimmed", "  [ server ]  \n \t result \t=  x y \t\n", "server", "result", "x y"},
        LookupCase{"double_quotes_dropped", "[server]\nresult=\" x \"\n", "server", "result", " x "},
        LookupCase{"single_quotes_dropped", "[server]\nresult='x'\n", "server", "result", "x"},
        LookupCase{"unmatched_quotes_kept", "[server]\nresult=\"x'\n", "server", "result", "\"x'"},
        LookupCase{"lone_quote_kept", "[server]\nresult=\"\n", "server", "result", "\""},
        LookupCase{"comment_line_skipped", "[server]\n;result=old\n  ; result=older\nresult=new\n", "server",
                   "result", "new"},
        LookupCase{"first_key_wins", "[server]\nresult=one\nresult=two\n", "server", "result", "one"},
        LookupCase{"first_section_wins", "[server]\nresult=one\n[server]\nresult=two\n", "server", "result", "one"},
        LookupCase{"repeated_section_still_searched", "[server]\na=1\n[server]\nresult=two\n", "server", "result",
                   "two"},
        LookupCase{"empty_value", "[server]\nresult=\nresult=later\n", "server", "result", ""},
        LookupCase{"equals_in_value", "[server]\nresult=https://a/x?b=c\n", "server", "result", "https://a/x?b=c"},
        LookupCase{"value_cut_at_nul", std::string("[server]\nresult=ab\0cd\n", 22), "server", "result", "ab"},
        LookupCase{"line_before_any_section", "result=x\n[server]\n", "server", "result", ""},
        LookupCase{"cp932_value", "[server]\nname=\x8E\x8E\x8C\xB1\n", "server", "name", "\x8E\x8E\x8C\xB1"},
        LookupCase{"bracket_trail_byte_in_section", "[" + kZo + "]\nk=v\n", "ゾ", "k", "v"},
        LookupCase{"letter_trail_bytes_do_not_fold", "[server]\n" + kA + "=v\n", "server", "ヂ", ""},
        LookupCase{"cp932_key_found", "[server]\n" + kDi + "=v\n", "server", "ヂ", "v"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Lookup, ValueIsCutTo1023Bytes) {
    std::string value(1500, 'a');
    EXPECT_EQ(platform::ini::lookup("[server]\nresult=" + value + "\n", "server", "result"), std::string(1023, 'a'));
    EXPECT_EQ(platform::ini::lookup("[server]\nresult=" + std::string(1023, 'b') + "\n", "server", "result"),
              std::string(1023, 'b'));
}

TEST(Lookup, CutNeverSplitsADoubleByteCharacter) {
    // Two ASCII bytes, then double-byte characters: byte 1023 would be the lead byte of
    // a character whose trail byte lies past the limit.
    std::string even = "ab";
    for (int i = 0; i < 600; ++i) even += "\x8E\x8E";
    std::string got = platform::ini::lookup("[server]\nresult=" + even + "\n", "server", "result");
    EXPECT_EQ(got.size(), 1022u);
    EXPECT_TRUE(got == even.substr(0, 1022));

    // One ASCII byte: the last character ends exactly at byte 1023 and stays.
    std::string odd = "a";
    for (int i = 0; i < 600; ++i) odd += "\x8E\x8E";
    got = platform::ini::lookup("[server]\nresult=" + odd + "\n", "server", "result");
    EXPECT_EQ(got.size(), 1023u);
    EXPECT_TRUE(got == odd.substr(0, 1023));
}

TEST(Lookup, QuotesAreDroppedBeforeTheCut) {
    std::string value = "\"" + std::string(1500, 'q') + "\"";
    EXPECT_EQ(platform::ini::lookup("[server]\nresult=" + value + "\n", "server", "result"), std::string(1023, 'q'));
}

class IniReaderTest : public ::testing::Test {
protected:
    std::string read(const std::string& section, const std::string& key, const std::string& name = "setting.ini") {
        return reader->read(section, key, *folder, name);
    }

    fakes::TempDir dir;
    std::unique_ptr<platform::Files> files = platform::make_posix_files();
    std::shared_ptr<platform::HeldFolder> folder = files->hold_trusted_folder(dir.path());
    std::unique_ptr<platform::SettingsReader> reader = platform::make_ini_settings_reader();
};

TEST_F(IniReaderTest, MissingFileGivesEmpty) {
    ASSERT_TRUE(folder);
    EXPECT_EQ(read("server", "result"), "");
    dir.folder("setting.ini");  // a folder in the way
    EXPECT_EQ(read("server", "result"), "");
}

TEST_F(IniReaderTest, ReturnsUtf8OfTheCp932File) {
    dir.write("setting.ini", "[Server]\r\nname = \"\x8E\x8E\x8C\xB1 \x83\x5C\"\r\n");
    EXPECT_EQ(read("server", "NAME"), "試験 ソ");
}

TEST_F(IniReaderTest, FileWithCarriageReturnsOnlyIsRead) {
    dir.write("setting.ini", "; centre\r[server]\rregister=https://centre/r\rresult=https://centre/x\r");
    EXPECT_EQ(read("server", "register"), "https://centre/r");
    EXPECT_EQ(read("server", "result"), "https://centre/x");
}

TEST_F(IniReaderTest, LongCp932ValueIsCutOnACharacterAndDecodes) {
    std::string value = "xy";
    for (int i = 0; i < 700; ++i) value += "\x8E\x8E";  // 試
    dir.write("setting.ini", "[server]\nresult=" + value + "\n");
    std::string expected = "xy";
    for (int i = 0; i < 510; ++i) expected += "試";
    EXPECT_EQ(read("server", "result"), expected);
}

}  // namespace
