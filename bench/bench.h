#pragma once
// One line per figure, printed beside the floor it is judged against, both measured in
// the same run, so that the ratio means something on whatever machine runs it, and beside
// the goal that ratio is held to.
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace bench {

// "figure  value  floor  ratio  goal"; a floor of 0 prints no ratio (an absolute figure),
// a goal of 0 none. The goal is the ratio not to exceed.
inline void report(const std::string& figure, double value, double floor, const std::string& unit,
                   double goal = 0) {
    std::string judged;
    if (floor > 0 && goal > 0) {
        char text[64];
        std::snprintf(text, sizeof text, "  goal <= %4.2f %s", goal, value / floor <= goal ? "met" : "MISSED");
        judged = text;
    }
    if (floor > 0)
        std::printf("%-58s %12.4f %s  floor %12.4f %s  ratio %6.2f%s\n", figure.c_str(), value, unit.c_str(), floor,
                    unit.c_str(), value / floor, judged.c_str());
    else
        std::printf("%-58s %12.4f %s\n", figure.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

// Where a benchmark is, on stderr, so that the figures on stdout stay a table.
inline void progress(const std::string& step) {
    std::fprintf(stderr, "   ... %s\n", step.c_str());
    std::fflush(stderr);
}

// Median of repeated samples: one slow outlier (a page fault, a busy neighbour) moves it
// least.
inline double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// The processes of the system as /proc shows them now: each with its parent and the
// processor time it has used (user and system), in milliseconds.
struct Process {
    pid_t pid = 0;
    pid_t parent = 0;
    double cpu_ms = 0;
};

inline std::vector<Process> processes() {
    std::vector<Process> out;
    const double ms_per_tick = 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(entry.path() / "stat");
        const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The name in parentheses may hold blanks and parentheses of its own.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 2 > stat.size()) continue;
        std::istringstream rest(stat.substr(close + 2));
        Process p;
        p.pid = static_cast<pid_t>(std::stol(name));
        char state = 0;
        std::string skip;
        unsigned long long utime = 0, stime = 0;
        rest >> state >> p.parent;
        // Fields 5 to 13, then utime and stime (14 and 15).
        for (int field = 5; field <= 13; ++field) rest >> skip;
        rest >> utime >> stime;
        if (!rest) continue;  // gone while it was read
        p.cpu_ms = static_cast<double>(utime + stime) * ms_per_tick;
        out.push_back(p);
    }
    return out;
}

// The processes that root started, directly or through children of its own.
inline std::vector<pid_t> descendants(pid_t root, const std::vector<Process>& all = processes()) {
    std::vector<pid_t> tree{root}, out;
    for (size_t i = 0; i < tree.size(); ++i)
        for (const Process& p : all)
            if (p.parent == tree[i] && p.pid != root) {
                tree.push_back(p.pid);
                out.push_back(p.pid);
            }
    return out;
}

// Processor time used so far by root and every process below it (a web engine's
// renderer, its GPU and utility processes), in milliseconds.
inline double tree_cpu_ms(pid_t root = ::getpid()) {
    const std::vector<Process> all = processes();
    const std::vector<pid_t> below = descendants(root, all);
    double sum = 0;
    for (const Process& p : all)
        if (p.pid == root || std::find(below.begin(), below.end(), p.pid) != below.end()) sum += p.cpu_ms;
    return sum;
}

}  // namespace bench
