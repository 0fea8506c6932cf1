#pragma once
// Host-side helpers for tests that drive the built library the way a point-of-sale program
// does: dlopen it, resolve exports by name, and run norvex-emu on a pseudo-terminal beside it.
#include <dlfcn.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace norvex_test {

class Library {
public:
    explicit Library(const char* path = NORVEX_LIBRARY_PATH) {
        handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!handle_) throw std::runtime_error(std::string("dlopen: ") + dlerror());
    }
    ~Library() { if (handle_) dlclose(handle_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    void* raw(const char* name) const {
        void* p = dlsym(handle_, name);
        if (!p) throw std::runtime_error(std::string("missing export ") + name);
        return p;
    }
    template <typename F> F* fn(const char* name) const { return reinterpret_cast<F*>(raw(name)); }

    // Calls an export with the given arguments; the return type must be given.
    template <typename R, typename... A> R call(const char* name, A... args) const {
        return fn<R(A...)>(name)(args...);
    }

private:
    void* handle_ = nullptr;
};

#ifdef NORVEX_EMU_PATH
// norvex-emu as a child process; the first line it prints is the device path.
class EmulatorProcess {
public:
    explicit EmulatorProcess(const std::vector<std::string>& args = {}) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ < 0) throw std::runtime_error("fork");
        if (pid_ == 0) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(NORVEX_EMU_PATH));
            for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(NORVEX_EMU_PATH, argv.data());
            _exit(127);
        }
        close(out[1]);
        out_ = fdopen(out[0], "r");
        char line[512] = {0};
        if (!out_ || !fgets(line, sizeof line, out_)) throw std::runtime_error("emulator did not start");
        path_ = line;
        while (!path_.empty() && (path_.back() == '\n' || path_.back() == '\r')) path_.pop_back();
    }
    ~EmulatorProcess() { stop(); }
    EmulatorProcess(const EmulatorProcess&) = delete;
    EmulatorProcess& operator=(const EmulatorProcess&) = delete;

    const std::string& path() const { return path_; }
    pid_t pid() const { return pid_; }

    // Ends the emulator (it saves its state and tape on the way out) and waits for it.
    void stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (waitpid(pid_, &status, WNOHANG) == 0) { kill(pid_, SIGKILL); waitpid(pid_, &status, 0); }
            pid_ = -1;
        }
        if (out_) { fclose(out_); out_ = nullptr; }
    }

private:
    pid_t pid_ = -1;
    FILE* out_ = nullptr;
    std::string path_;
};
#endif

} // namespace norvex_test
