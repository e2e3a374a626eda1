#pragma once
// The launcher's window icon: a ledger page with a check mark on a teal tile, drawn here
// at each of its fifteen sizes from 16 x 16 to 256 x 256 pixels.
#include <QIcon>
#include <array>

namespace launcher {

inline constexpr std::array<int, 15> kIconSizes{16, 20, 24, 30, 32, 36, 40, 48, 60, 64, 72, 80, 96, 128, 256};

const QIcon& launcher_icon();

}  // namespace launcher
