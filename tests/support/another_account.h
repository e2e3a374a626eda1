#pragma once
// "Another account" for tests that need files of someone else's: a user id that no account
// of this machine has, so nothing the test gives it can reach a real person. Giving a file
// to it needs root; the tests that do skip or say so without.
#include <pwd.h>
#include <sys/types.h>

namespace fakes {

inline uid_t uid_without_account() {
    uid_t uid = 3999000;
    while (::getpwuid(uid) != nullptr) ++uid;
    return uid;
}

}  // namespace fakes
