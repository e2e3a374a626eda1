#include "support/numeric_locale.h"

#include <sys/wait.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "support/temp_dir.h"

namespace fakes {

namespace {

bool decimal_comma() {
    const std::lconv* c = std::localeconv();
    return c && c->decimal_point && std::string(c->decimal_point) == ",";
}

// The name of a comma locale that setlocale accepts, or "" with the reason in why.
std::string comma_locale(std::string& why) {
    static std::string name, reason;
    static bool tried = false;
    if (tried) {
        why = reason;
        return name;
    }
    tried = true;
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* installed : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_NUMERIC, installed) && decimal_comma()) {
            name = installed;
            std::setlocale(LC_NUMERIC, saved.c_str());
            return name;
        }
    }
    std::setlocale(LC_NUMERIC, saved.c_str());

    // None installed: build one where this process alone looks for it. The folder lives
    // as long as the process, since setlocale reads the files whenever it is asked again.
    static std::unique_ptr<TempDir> folder = std::make_unique<TempDir>("ledgrin-locale-");
    const std::string command = "localedef -i de_DE -f UTF-8 '" + folder->path() + "de_DE.UTF-8' >/dev/null 2>&1";
    const int rc = std::system(command.c_str());
    if (rc == -1 || !WIFEXITED(rc) || WEXITSTATUS(rc) != 0) {
        reason = "no locale with a decimal comma: none is installed and localedef could not make de_DE.UTF-8 "
                 "(the Debian package locales holds its sources)";
        why = reason;
        return name;
    }
    ::setenv("LOCPATH", folder->path().c_str(), 1);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && decimal_comma()) {
        name = "de_DE.UTF-8";
    } else {
        reason = "the generated de_DE.UTF-8 locale does not load or has no decimal comma";
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
    why = reason;
    return name;
}

}  // namespace

std::string numeric_locale_name(const ::testing::TestParamInfo<Numbers>& info) {
    return info.param == Numbers::C ? "C" : "Comma";
}

NumericLocaleScope::NumericLocaleScope(Numbers numbers) : previous_(std::setlocale(LC_NUMERIC, nullptr)) {
    if (numbers == Numbers::C) {
        active_ = std::setlocale(LC_NUMERIC, "C") != nullptr;
        return;
    }
    const std::string name = comma_locale(why_not_);
    active_ = !name.empty() && std::setlocale(LC_NUMERIC, name.c_str()) != nullptr && decimal_comma();
    if (!active_ && why_not_.empty()) why_not_ = "the comma locale " + name + " does not load";
}

NumericLocaleScope::~NumericLocaleScope() { std::setlocale(LC_NUMERIC, previous_.c_str()); }

}  // namespace fakes
