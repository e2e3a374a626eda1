#pragma once
// The launcher's own program-wide values, set by its start-up and by its downloads.
#include <memory>
#include <string>

#include "platform/files.h"

namespace launcher {

inline const char* const kDefaultDownloadUrl = "https://exam.orvane.example/downloads/";
inline const char* const kDefaultLoginUrl = "https://exam.orvane.example/api/grade/login";
inline const char* const kUserAgent = "orvanepc";
// The title of message boxes that name none of their own.
inline const char* const kLauncherTitle = "OrvaneBramwick";

struct Module1 {
    std::string download_url;  // base of program downloads; document names are appended as they stand
    std::string login_url;     // read at start-up, used by nothing
    std::string data_path;     // the launcher's folder + "data/": sign-in page and ledgrin.dat
    std::string program_path;  // folder where downloaded examination programs are kept
    std::string user_agent;
    bool confirm_flag = false;  // answer of frmTestInfo: true after "続行"
    // The file the last download that succeeded wrote, held open: what is started after it.
    std::shared_ptr<platform::HeldFile> downloaded;
};

Module1& state();
// Back to the values of a freshly started launcher (tests).
void reset_state();

}  // namespace launcher
