#pragma once
// Constructors of the real backends, one per facility; make_real_platform puts them together.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "platform.h"

class QPrinter;
class QWidget;

namespace platform {

std::unique_ptr<Clock> make_boottime_clock();
std::unique_ptr<Screen> make_qt_screen();
std::unique_ptr<InstanceLock> make_flock_instance_lock(System& system);
std::unique_ptr<SettingsReader> make_ini_settings_reader();
std::unique_ptr<Files> make_posix_files();
std::unique_ptr<System> make_linux_system();
std::unique_ptr<Http> make_curl_http();
// The limits of the HTTP backend. Tests shorten them and name the certificate they trust.
struct CurlLimits {
    long connect_timeout_ms = 30000;
    // A transfer that moves less than one byte a second for this long is dropped.
    long stall_seconds = 60;
    // The whole request, redirects included, ends by then whatever the server does.
    long total_timeout_ms = 120000;
    // A longer answer is a failure: no answer of ours is anywhere near this big.
    size_t max_body_bytes = 1024 * 1024;
    // PEM file of trusted certificates; empty means CURL_CA_BUNDLE, else SSL_CERT_FILE,
    // else the system's store.
    std::string ca_file;
};
std::unique_ptr<Http> make_curl_http(const CurlLimits& limits);
std::unique_ptr<DatabaseEngine> make_sqlcipher_engine();
std::unique_ptr<MessageBox> make_qt_message_box(const std::string& default_title);
// How a pane's print picks its printer: true to print, false when the person cancelled.
using PrinterChoice = std::function<bool(QPrinter& printer, QWidget* parent)>;
// Panes whose print asks in the print dialog.
std::unique_ptr<BrowserFactory> make_webengine_browsers();
// Panes whose print picks the printer this way (tests print straight to a file).
std::unique_ptr<BrowserFactory> make_webengine_browsers(PrinterChoice choose_printer);
std::unique_ptr<Desktop> make_x11_desktop();
std::unique_ptr<KeySender> make_xtest_key_sender();
std::unique_ptr<Random> make_std_random(Clock& clock);
std::unique_ptr<Process> make_posix_process();

}  // namespace platform
