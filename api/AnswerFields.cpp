// Readers of the answer fields the last operation left.
#include "api/ApiFrame.h"

using namespace Orn::Api;

namespace {
// What the numeric readers return before OpenDLL: the guard's result code, as data.
constexpr int32_t kClosed = 177;
}

extern "C" int32_t NORVEX_API GetFldsCount(void) {
    return query<int32_t>(L"GetFldsCount", kClosed, 0, [](Adapter& a) { return a.answerFieldCount(); });
}

extern "C" int32_t NORVEX_API GetFldInt(uint8_t field) {
    return query<int32_t>(L"GetFldInt", kClosed, 0,
                          [field](Adapter& a) { return static_cast<int32_t>(a.answerFieldHex(field, 4)); });
}

extern "C" uint16_t NORVEX_API GetFldWord(uint8_t field) {
    return query<uint16_t>(L"GetFldWord", kClosed, 0,
                           [field](Adapter& a) { return static_cast<uint16_t>(a.answerFieldHex(field, 2)); });
}

extern "C" uint8_t NORVEX_API GetFldByte(uint8_t field) {
    return query<uint8_t>(L"GetFldByte", kClosed, 0,
                          [field](Adapter& a) { return static_cast<uint8_t>(a.answerFieldHex(field, 1)); });
}

extern "C" double NORVEX_API GetFldFloat(uint8_t field) {
    return query<double>(L"GetFldFloat", kClosed, 0.0, [field](Adapter& a) { return a.answerFieldDouble(field); });
}

extern "C" char* NORVEX_API GetFldStr(uint8_t field, char* buffer) {
    return query<char*>(L"GetFldStr", buffer, buffer,
                        [=](Adapter& a) { return copyOut(a.answerFieldText(field), buffer); });
}
