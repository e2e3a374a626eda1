#pragma once
// Fetching a sibling examination program from the download server into the program folder,
// removing an old copy first, and a wait that keeps the windows responsive.
#include <cstdint>
#include <string>

namespace launcher {

inline const char* const kReasonNoConnection =
    "試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。";
inline const char* const kReasonNotStored =
    "データファイルの取得に失敗しました。インターネット環境の確認をお願いいたします。";
// The library the summary examinations need beside their program; fetched under its own name.
inline const char* const kLibraryFile = "7-zip32.dll";

namespace download {

// GET of download_url followed directly by the document; a success answer (status 2xx) is
// stored unchanged as the whole program file in program_path, and held open in
// state().downloaded for its start. False once the candidate has
// answered the modal failure dialog (no answer, an answer of another status or a redirect
// from HTTPS to HTTP; or the file could not be stored).
bool file_download(const std::string& document, const std::string& program_file);
// The same, stored in the working folder.
bool file_download_temp(const std::string& document, const std::string& program_file);
// Deletes the file at this full path when it can; a read-only or missing file is left
// as it is and nothing is reported.
void file_delete(const std::string& taget);
// Returns once ms milliseconds have passed, running pending events meanwhile.
void wait_ticks_with_events(int16_t ms);

}  // namespace download
}  // namespace launcher
