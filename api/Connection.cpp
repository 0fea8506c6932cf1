// Connection and service exports, and the three that read the last error.
#include <cstring>

#include "api/ApiFrame.h"

using namespace Orn::Api;
using Orn::Fptr::Norvex::kErrorAlreadyOpened;

namespace {

// Register captions these exports write.
constexpr int32_t kCaptionAdminName = 118;
constexpr int32_t kCaptionAccessPassword = 121;

constexpr int32_t kCodeSetPassword = 0x40;
constexpr int32_t kCodeSetBaudrate = 0x94;

// The last error's own text (65535) or the text of an API result code.
char* errorText(char* buffer, int32_t code) noexcept {
    if (!buffer) return buffer;
    try {
        return copyOut(adapter().errorDescription(code), buffer);
    } catch (...) {
        escapedFailure();
        return buffer;
    }
}

int32_t open(const wchar_t* name, const char* adminName, const char* accessPassword, const char* port,
             const char* baudRate, int32_t oemFlag) noexcept {
    try {
        logEntry(name);
        Adapter& a = adapter();
        if (a.isOpened()) return a.initError(kErrorAlreadyOpened);
        a.setDecoderFlag(oemFlag != 0 ? kCodePageOem : kCodePage1251);
        const std::wstring admin = text(adminName);
        const std::wstring password = text(accessPassword);
        const std::wstring portText = text(port);
        const std::wstring rate = baudRate ? text(baudRate) : std::wstring();
        return a.openDLL(admin, password, portText, rate);
    } catch (...) {
        return escapedFailure();
    }
}

int32_t changeBaudrate(const wchar_t* name, const char* rate) noexcept {
    return operation(name, [rate](Adapter& a) {
        const std::wstring r = text(rate);
        a.prepareAnswerFields(kCodeSetBaudrate, 5);
        return a.setBaudrate(r);
    });
}

} // namespace

extern "C" int32_t NORVEX_API GetLastDllError(void) {
    try {
        logEntry(L"GetLastDllError");
        return adapter().apiResultCode();
    } catch (...) {
        return escapedFailure();
    }
}

extern "C" char* NORVEX_API GetErrorMessage(char* buffer) {
    try {
        logEntry(L"GetErrorMessage");
    } catch (...) {
    }
    return errorText(buffer, 0xFFFF);
}

extern "C" char* NORVEX_API GetErrorMessageNo(char* buffer, uint16_t code) {
    try {
        logEntry(L"GetErrorMessageNo");
    } catch (...) {
    }
    return errorText(buffer, code);
}

extern "C" int32_t NORVEX_API OpenDLL(const char* adminName, const char* accessPassword, const char* port,
                                      int32_t oemFlag) {
    // An empty baud rate keeps the one an earlier OpenDLLPlus set.
    return open(L"OpenDLL", adminName, accessPassword, port, nullptr, oemFlag);
}

extern "C" int32_t NORVEX_API OpenDLLPlus(const char* adminName, const char* accessPassword, const char* port,
                                          const char* baudRate, int32_t oemFlag) {
    return open(L"OpenDLLPlus", adminName, accessPassword, port, baudRate, oemFlag);
}

extern "C" int32_t NORVEX_API CloseDLL(void) {
    return operation(L"CloseDLL", [](Adapter& a) { return a.closeDLL(); });
}

extern "C" int32_t NORVEX_API ChangeOpName(const char* name) {
    return operation(L"ChangeOpName", [name](Adapter& a) { return a.setCaption(kCaptionAdminName, text(name)); });
}

extern "C" int32_t NORVEX_API SetPassword(const char* password) {
    return operation(L"SetPassword", [password](Adapter& a) {
        const std::wstring p = text(password);
        a.prepareAnswerFields(kCodeSetPassword, 5);
        return a.setCaption(kCaptionAccessPassword, p);
    });
}

extern "C" int32_t NORVEX_API SetInterfaceParam(const char* rate, int32_t, int32_t) {
    return changeBaudrate(L"SetInterfaceParam", rate);
}

extern "C" int32_t NORVEX_API ChangeBaudrate(const char* rate) { return changeBaudrate(L"ChangeBaudrate", rate); }

extern "C" int32_t NORVEX_API CashDriverOpen(void) {
    return unfinishedOperation(L"CashDriverOpen", [](Adapter& a) { return a.openDrawer(); });
}

extern "C" char* NORVEX_API GetDllVer(char* buffer) {
    return query<char*>(L"GetDllVer", buffer, buffer, [buffer](Adapter&) {
        if (buffer) std::memcpy(buffer, kDllVersion, sizeof kDllVersion);
        return buffer;
    });
}

extern "C" int32_t NORVEX_API ExceptToLog(const char* message) {
    return operation(L"ExceptToLog", [message](Adapter&) {
        Logger::instance().write(2, L"%ls", text(message).c_str());
        return 0;
    });
}
