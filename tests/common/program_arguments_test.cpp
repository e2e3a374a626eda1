// The start of either program, as its main runs it: the argument string is every text after
// the program's name, and Qt takes none of them as one of its options. This test has a main
// of its own, since the start makes the program's one QApplication.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/program.h"
#include "platform/platform.h"

namespace {

// What the start saw, taken inside it while Qt runs.
struct Seen {
    bool started = false;
    std::string arguments;
    bool right_to_left = true;
    std::string platform_name;
    std::string style;
    bool platform_set = false;
    std::string default_title;
} seen;

// Texts that Qt would take as its own options (-reverse mirrors every window, -platform
// and -style replace the display and the look) and a definition after them.
const char* const kCommandLine[] = {"ledgrin", "-reverse", "-style", "windows", "-platform", "xcb",
                                    "-qwindowtitle", "x", "TEST TYPE = 8,id=5", nullptr};

TEST(ProgramStart, EveryTextAfterTheNameIsTheArgumentString) {
    ASSERT_TRUE(seen.started);
    EXPECT_EQ(seen.arguments, "-reverse -style windows -platform xcb -qwindowtitle x TEST TYPE = 8,id=5");
}

TEST(ProgramStart, QtTakesNoOptionFromTheCommandLine) {
    ASSERT_TRUE(seen.started);
    EXPECT_FALSE(seen.right_to_left);
    EXPECT_EQ(seen.platform_name, "offscreen");
    EXPECT_NE(seen.style, "windows");
}

TEST(ProgramStart, TheRealPlatformIsInPlaceAndAdjustedBeforeTheStart) {
    ASSERT_TRUE(seen.started);
    EXPECT_TRUE(seen.platform_set);
    EXPECT_EQ(seen.default_title, "OrvaneLedgrin");
}

TEST(ArgumentString, JoinsWithOneBlankAndIsEmptyWithoutArguments) {
    const char* none[] = {"ledgrin", nullptr};
    EXPECT_EQ(common::argument_string(1, const_cast<char**>(none)), "");
    const char* blanks[] = {"ledgrin", "a b", "", "c", nullptr};
    EXPECT_EQ(common::argument_string(4, const_cast<char**>(blanks)), "a b  c");
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int status = 1;
    // A command line as main gets it: writable texts, which Qt would take its options out of.
    std::vector<std::string> texts(std::begin(kCommandLine), std::end(kCommandLine) - 1);
    std::vector<char*> program_argv;
    for (std::string& t : texts) program_argv.push_back(t.data());
    program_argv.push_back(nullptr);
    const int ended = common::run_program(
        static_cast<int>(texts.size()), program_argv.data(), "OrvaneLedgrin",
        [](platform::Platform&, const std::string& title) { seen.default_title = title; },
        [&](const std::string& arguments) {
            seen.started = true;
            seen.arguments = arguments;
            seen.right_to_left = QGuiApplication::isRightToLeft();
            seen.platform_name = QGuiApplication::platformName().toStdString();
            seen.style = QApplication::style()->name().toLower().toStdString();
            try {
                platform::current();
                seen.platform_set = true;
            } catch (const std::exception&) {
            }
            status = RUN_ALL_TESTS();
        });
    // No window was loaded, so the program ended after its start without an error.
    return ended == 0 ? status : 1;
}
