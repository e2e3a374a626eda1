#pragma once
// Answers the tests type or mark, kept once so every test means the same answer.
#include <string>
#include <vector>

#include "support/fake_random.h"

namespace fakes {

// The correct answer of question 4 for groups 3 and 4, by answer4 field number; every
// other field of the 81 stays empty.
inline std::vector<std::string> correct_q4_group4() {
    std::vector<std::string> f(81);
    f[0] = "損益", f[1] = "364000";
    f[2] = "給料", f[3] = "320000";
    f[6] = "支払地代", f[7] = "30000";
    f[10] = "広告宣伝費", f[11] = "11000";
    f[14] = "支払利息", f[15] = "3000";
    f[20] = "12", f[21] = "31", f[22] = "給料", f[23] = "320000";
    f[39] = "受取", f[40] = "4000";
    f[43] = "支払", f[44] = "3000";
    f[49] = "資本金", f[50] = "50000";
    f[61] = "78000";
    f[65] = "420000";
    f[78] = "500000";
    f[79] = "1250000", f[80] = "1250000";
    return f;
}

// Draws for one whole page build that move the slots, the choice orders and the rows
// away from their unchanged order, so a page that only works unshuffled shows.
inline void script_shuffled_build(FakeRandom& random) {
    random.script({0.9f, 0.3f, 0.5f});
    for (int g = 0; g < 4; ++g) random.script({0.4f, 0.6f, 0.74f});
    random.script({0.1f, 0.9f, 0.0f});
    random.script({0.07f, 0.5f, 0.999f, 0.3f});
}

}  // namespace fakes
