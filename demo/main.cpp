// norvex-demo: a point-of-sale host in miniature. It starts the register emulator on a
// pseudo-terminal, loads the library the way a host program does, runs a whole day (status,
// a sale, cash in, an X report, the Z report and a control-tape copy) and prints the paper tape.
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/StringUtils.h"
#include "norvex.h"

extern char** environ;

namespace {

std::string cp1251(const std::string& utf8) {
    return Orn::Utils::String::toCp1251(Platform::fromUtf8(utf8));
}
std::string utf8(const char* cp1251Text) {
    return Platform::toUtf8(Orn::Utils::String::fromCp1251(cp1251Text));
}

class Api {
public:
    explicit Api(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    ~Api() { if (handle_) dlclose(handle_); }
    bool loaded() const { return handle_ != nullptr; }
    template <typename F> F* fn(const char* name) const { return reinterpret_cast<F*>(dlsym(handle_, name)); }
private:
    void* handle_;
};

#define NV(name) api.fn<decltype(::name)>(#name)

struct Emulator {
    pid_t pid = -1;
    std::string path;
    bool start(const std::string& tape) {
        int out[2];
        if (pipe(out) != 0) return false;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        posix_spawn_file_actions_addclose(&fa, out[0]);
        std::vector<std::string> args = {NORVEX_EMU_PATH, "--model", "53", "--tape", tape};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(&a[0]);
        argv.push_back(nullptr);
        int rc = posix_spawn(&pid, NORVEX_EMU_PATH, &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        close(out[1]);
        if (rc != 0) { close(out[0]); return false; }
        FILE* f = fdopen(out[0], "r");
        char line[512] = {0};
        bool ok = f && fgets(line, sizeof line, f);
        if (f) fclose(f);
        path = line;
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
        return ok && !path.empty();
    }
    void stop() {
        if (pid > 0) { kill(pid, SIGTERM); int st; waitpid(pid, &st, 0); pid = -1; }
    }
    ~Emulator() { stop(); }
};

} // namespace

int main() {
    char dirTemplate[] = "/tmp/norvex-demo-XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (!dir) { perror("mkdtemp"); return 1; }
    const std::string tape = std::string(dir) + "/tape.txt";

    Emulator emu;
    if (!emu.start(tape)) { std::cerr << "cannot start the emulator " << NORVEX_EMU_PATH << "\n"; return 1; }
    std::cout << "emulator on " << emu.path << "\n";
    setenv("NORVEX_TTY", emu.path.c_str(), 1);

    Api api(NORVEX_LIBRARY_PATH);
    if (!api.loaded()) { std::cerr << "cannot load " << NORVEX_LIBRARY_PATH << ": " << dlerror() << "\n"; return 1; }

    static char buf[32002];
    auto report = [&](const char* what, int32_t rc) {
        std::cout << "  " << what << " -> " << rc;
        if (rc != 0) {
            NV(GetErrorMessageNo)(buf, static_cast<uint16_t>(rc));
            std::cout << " (" << utf8(buf);
            NV(GetErrorMessage)(buf);
            std::cout << "; " << utf8(buf) << ")";
        }
        std::cout << "\n";
        return rc;
    };
    auto fields = [&]() {
        int n = NV(GetFldsCount)();
        std::cout << "    fields:";
        for (int i = 0; i < n; ++i) std::cout << " [" << i << "] " << utf8(NV(GetFldStr)(static_cast<uint8_t>(i), buf));
        std::cout << "\n";
    };

    std::cout << "library version: " << NV(GetDllVer)(buf) << (buf[0] ? "" : "(not opened yet)") << "\n";
    const std::string admin = cp1251("Администратор");
    if (report("OpenDLL", NV(OpenDLL)(admin.c_str(), "0", "COM1", 0)) != 0) return 1;

    report("GetStatus", NV(GetStatus)());
    fields();
    report("GetSerialNum", NV(GetSerialNum)());
    fields();

    std::cout << "sale:\n";
    const std::string bread = cp1251("Хлеб ржаной"), milk = cp1251("Молоко 3,2%");
    report("StartReceipt", NV(StartReceipt)(0, 0, 0, 0, 0));   // 0: sale
    report("ItemReceipt", NV(ItemReceipt)(bread.c_str(), 0, 0, 0, 4550, 2000, 0));
    report("ItemReceipt", NV(ItemReceipt)(milk.c_str(), 0, 0, 0, 8990, 1000, 0));
    report("TenderReceipt", NV(TenderReceipt)(0, 20000, 0));   // 0: cash, 200.00
    report("CloseReceipt", NV(CloseReceipt)());
    fields();

    std::cout << "cash and reports:\n";
    report("ToCash", NV(ToCash)(100000));
    report("GetMony", NV(GetMony)());
    fields();
    report("XReport", NV(XReport)());
    report("ShiftClose", NV(ShiftClose)());
    report("EJNoDoc", NV(EJNoDoc)(1));
    report("CloseDLL", NV(CloseDLL)());

    emu.stop();  // the emulator writes its paper tape on the way out
    std::ifstream in(tape);
    std::stringstream ss;
    ss << in.rdbuf();
    std::cout << "\npaper tape:\n" << ss.str();
    return 0;
}
