#pragma once
// Reporting one examination result to the examination server.
#include <cstdint>
#include <string>

namespace common {

// Sends the candidate's names, registration numbers, run number, points, sending time and
// pass flag to state().result_url and judges the answer. True when the server accepted it.
// reason gets a text only when the server answered with a refusal or something unexpected;
// on success and when nothing came back it keeps what the caller had in it.
bool send_result(int16_t points, bool pass, const std::string& sending_time, std::string& reason);

}  // namespace common
