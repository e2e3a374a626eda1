#pragma once
// The sign-in window: the local sign-in page, one button, and from there the
// confirmation and the start of the examination program.
#include <cstdint>
#include <memory>
#include <string>

#include "common/forms.h"
#include "platform/browser.h"
#include "platform/files.h"
#include "platform/screen.h"
#include "test_definition.h"

class QLabel;
class QPushButton;

namespace launcher {

inline const char* const kReasonTooLong = "試験IDが間違っています。確認してください。";
inline const char* const kReasonUnknownKind = "試験実施科目が登録されていません。";
inline const char* const kReasonNotStarted = "試験プログラムを起動できませんでした。";

class frmMain : public common::Form {
public:
    frmMain();
    ~frmMain() override;

    std::unique_ptr<platform::BrowserPane> wbMain;
    QPushButton* Command1;  // "ログイン"
    QLabel* lblWaitMsg;     // nothing shows it

    platform::Rect work_area;
    // The examination offered, held by the sign-in button.
    std::string test_definition_line = kTestDefinitionLine;

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Activate() override;
    void Command1_Click();
    // Deletes the file at this full path when it can; reports nothing.
    void file_delete(const std::string& taget);

private:
    void fail_modal(const std::string& reason);
    // Starts the program file and ends the launcher; a file that cannot be started gets
    // the failure dialog and the launcher stays.
    void start_and_end(const std::string& program_file);
    // The same for the file the download wrote, which is started only while its name in
    // the program folder still leads to it: anything put in its place since gets the
    // download's failure dialog.
    void start_downloaded_and_end(const std::shared_ptr<platform::HeldFile>& program);
    void started_or_failed(bool started);
    bool file_download(const std::string& document, const std::string& program_file);
    bool file_download_temp(const std::string& document, const std::string& program_file);
    void wait_ticks_with_events(int16_t ms);
};

}  // namespace launcher
