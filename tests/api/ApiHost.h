#pragma once
// Runs a piece of a test in a child process that loads the library afresh, so each check
// sees the library as a host program does right after loading it (and the logger reads
// QLM9_LOG_LVL anew). Failures inside the child are printed by GoogleTest there and
// reported to the parent through the exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "core/StringUtils.h"
#include "support/NorvexHost.h"

namespace api_test {

using norvex_test::Library;

// Environment of the child; a null value unsets the variable.
struct ChildEnv {
    const char* logLevel = nullptr;
};

// The pid of the child that ran (its thread id heads its log lines).
template <typename Body>
pid_t inFreshLibrary(Body body, ChildEnv env = {}) {
    fflush(stdout);
    fflush(stderr);
    const pid_t pid = fork();
    if (pid < 0) {
        ADD_FAILURE() << "fork failed";
        return pid;
    }
    if (pid == 0) {
        if (env.logLevel) setenv("QLM9_LOG_LVL", env.logLevel, 1);
        else unsetenv("QLM9_LOG_LVL");
        unsetenv("NORVEX_COM");
        unsetenv("NORVEX_TTY");
        {
            Library lib;
            body(lib);
        }
        fflush(stdout);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "checks in the child process failed (its messages are above), status " << status;
    return pid;
}

// Expected text as the library hands it back before OpenDLL: code page 1251 bytes.
inline std::string cp1251(const wchar_t* text) { return Orn::Utils::String::toCp1251(text); }

// Calls an export of function type F with every argument zero (null texts, field 0, ...)
// and returns its result widened to int64 (pointers by value).
template <typename F>
struct ZeroCall;
template <typename R, typename... A>
struct ZeroCall<R(A...)> {
    static int64_t call(const Library& lib, const char* name) {
        R r = lib.fn<R(A...)>(name)(A{}...);
        if constexpr (std::is_pointer<R>::value) return static_cast<int64_t>(reinterpret_cast<intptr_t>(r));
        else return static_cast<int64_t>(r);
    }
};

enum class Kind { IMPL, STUB_FIELDS, STUB_FIELDS_RESULT, STUB_GUARDED, STUB_FREE, STUB_REOPEN };

struct ExportRow {
    const char* name;
    int argc;
    Kind kind;
    int code;
    int64_t (*callWithZeros)(const Library&, const char*);
};

// Every export, from the same table the library is built from.
inline const ExportRow* exportRows(size_t* count) {
#define NORVEX_EXPORT(result, name, argc, kind, code, params) \
    {#name, argc, Kind::kind, code, &ZeroCall<result params>::call},
    static const ExportRow rows[] = {
#include "api/ExportList.h"
    };
#undef NORVEX_EXPORT
    *count = sizeof rows / sizeof rows[0];
    return rows;
}

#ifdef NORVEX_EMU_PATH
using norvex_test::EmulatorProcess;

// Opens the library on a fresh emulator for the length of one child's checks.
class Opened {
public:
    explicit Opened(const Library& lib, int32_t oemFlag = 0) : lib_(lib) {
        setenv("NORVEX_TTY", emu_.path().c_str(), 1);
        result_ = lib_.call<int32_t>("OpenDLL", "Admin", "0", "COM1", oemFlag);
    }
    ~Opened() { lib_.call<int32_t>("CloseDLL"); }
    int32_t result() const { return result_; }

private:
    EmulatorProcess emu_;
    const Library& lib_;
    int32_t result_ = -1;
};
#endif

} // namespace api_test
