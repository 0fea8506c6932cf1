// norvex-emu: a register on a pseudo-terminal for point-of-sale development and tests.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/Emulator.h"
#include "emulator/Script.h"

namespace {

std::atomic<bool> g_stop{false};
std::atomic<bool> g_tape{false};

void onSignal(int sig) {
    if (sig == SIGUSR1) g_tape = true;
    else g_stop = true;
}

void usage(FILE* to) {
    std::fprintf(to,
        "usage: norvex-emu [options]\n"
        "  -m, --model N        register model: 53 (default), 47 or 52\n"
        "  -l, --link PATH      symbolic link to the device\n"
        "  -s, --state FILE     load the state at start (if the file exists), save it at exit\n"
        "  -t, --tape FILE      write the paper tape (UTF-8) at exit and on SIGUSR1\n"
        "  -x, --script FILE    run a script of commands before serving\n"
        "  -e, --exec LINE      run one script line before serving (repeatable)\n"
        "      --access-password N  access password of the link (four digits, default 0000)\n"
        "      --report-polls N state polls a running report lasts (default 2)\n"
        "      --delay MS       pause before every answer\n"
        "  -h, --help           this text\n");
}

} // namespace

int main(int argc, char** argv) {
    int model = 53;
    std::string link, state, tape, accessPassword;
    std::vector<std::string> scripts, lines;
    int polls = 2, delay = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) { std::fprintf(stderr, "norvex-emu: %s needs a value\n", a.c_str()); std::exit(2); }
            return argv[++i];
        };
        if (a == "-m" || a == "--model") model = std::atoi(value().c_str());
        else if (a == "-l" || a == "--link") link = value();
        else if (a == "-s" || a == "--state") state = value();
        else if (a == "-t" || a == "--tape") tape = value();
        else if (a == "-x" || a == "--script") scripts.push_back(value());
        else if (a == "-e" || a == "--exec") lines.push_back(value());
        else if (a == "--access-password") accessPassword = value();
        else if (a == "--report-polls") polls = std::atoi(value().c_str());
        else if (a == "--delay") delay = std::atoi(value().c_str());
        else if (a == "-h" || a == "--help") { usage(stdout); return 0; }
        else { std::fprintf(stderr, "norvex-emu: unknown option %s\n", a.c_str()); usage(stderr); return 2; }
    }
    if (model != 53 && model != 47 && model != 52) {
        std::fprintf(stderr, "norvex-emu: model must be 53, 47 or 52\n");
        return 2;
    }

    NorvexEmu::Emulator emu(model);
    std::string err;
    bool ok = emu.withRegister([&](NorvexEmu::Register& reg) {
        if (!state.empty() && access(state.c_str(), F_OK) == 0 && !reg.load(state, &err)) return false;
        if (reg.model() != model) {
            err = "state file holds model " + std::to_string(reg.model());
            return false;
        }
        reg.setReportPolls(polls);
        if (!accessPassword.empty()) {
            long pw = std::strtol(accessPassword.c_str(), nullptr, 10);
            reg.setField(2, 1, 23, NorvexEmu::bcd(pw, 2));
        }
        for (const auto& path : scripts) {
            std::ifstream f(path);
            if (!f) { err = "cannot read " + path; return false; }
            std::stringstream ss;
            ss << f.rdbuf();
            if (!NorvexEmu::runScript(reg, ss.str(), &err)) { err = path + ": " + err; return false; }
        }
        for (const auto& l : lines)
            if (!NorvexEmu::runScript(reg, l, &err)) { err = "'" + l + "': " + err; return false; }
        return true;
    });
    if (!ok) {
        std::fprintf(stderr, "norvex-emu: %s\n", err.c_str());
        return 1;
    }
    emu.setAnswerDelay(delay);

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGUSR1, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!emu.start(&err)) {
        std::fprintf(stderr, "norvex-emu: %s\n", err.c_str());
        return 1;
    }
    if (!link.empty() && !emu.createLink(link, &err)) {
        std::fprintf(stderr, "norvex-emu: %s\n", err.c_str());
        return 1;
    }
    std::printf("%s\n", emu.devicePath().c_str());
    std::fflush(stdout);

    auto writeTape = [&]() {
        if (tape.empty()) return;
        std::string e;
        if (!emu.withRegister([&](NorvexEmu::Register& reg) { return reg.writeTape(tape, &e); }))
            std::fprintf(stderr, "norvex-emu: %s\n", e.c_str());
    };
    while (!g_stop) {
        usleep(50 * 1000);
        if (g_tape.exchange(false)) writeTape();
    }
    emu.stop();
    writeTape();
    if (!state.empty()) {
        std::string e;
        if (!emu.withRegister([&](NorvexEmu::Register& reg) { return reg.save(state, &e); })) {
            std::fprintf(stderr, "norvex-emu: %s\n", e.c_str());
            return 1;
        }
    }
    return 0;
}
