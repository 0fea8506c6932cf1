// The exports this library does not implement, defined from their rows in ExportList.h.
// Each logs its name with "Метод не реализован" and answers by its kind; none sends a
// command of its own to the register.
#include "api/ApiFrame.h"

namespace Orn {
namespace Api {
namespace {

#define NORVEX_WIDE2(s) L##s
#define NORVEX_WIDE(s) NORVEX_WIDE2(s)

using Orn::Fptr::Norvex::kErrorAlreadyOpened;

// Opened: a status query that fills the standard answer fields with `code` in field 0.
int32_t fieldsStub(const wchar_t* name, int32_t code, bool returnQueryResult) noexcept {
    return unfinishedOperation(name, [&](Adapter& a) {
        const int32_t r = a.prepareAnswerFields(code, 5);
        return returnQueryResult ? r : 0;
    });
}

int32_t guardedStub(const wchar_t* name) noexcept {
    return unfinishedOperation(name, [](Adapter&) { return 0; });
}

int32_t freeStub(const wchar_t* name) noexcept {
    try {
        logNotImplemented(name);
        return 0;
    } catch (...) {
        return escapedFailure();
    }
}

// The guard of OpenDLL without the opening.
int32_t reopenStub(const wchar_t* name) noexcept {
    try {
        logNotImplemented(name);
        Adapter& a = adapter();
        return a.isOpened() ? a.initError(kErrorAlreadyOpened) : 0;
    } catch (...) {
        return escapedFailure();
    }
}

} // namespace
} // namespace Api
} // namespace Orn

#define NORVEX_STUB_STUB_FIELDS(name, code) return Orn::Api::fieldsStub(NORVEX_WIDE(#name), code, false);
#define NORVEX_STUB_STUB_FIELDS_RESULT(name, code) return Orn::Api::fieldsStub(NORVEX_WIDE(#name), code, true);
#define NORVEX_STUB_STUB_GUARDED(name, code) return Orn::Api::guardedStub(NORVEX_WIDE(#name));
#define NORVEX_STUB_STUB_FREE(name, code) return Orn::Api::freeStub(NORVEX_WIDE(#name));
#define NORVEX_STUB_STUB_REOPEN(name, code) return Orn::Api::reopenStub(NORVEX_WIDE(#name));

#define NORVEX_DEFINE_IMPL(result, name, params, code)
#define NORVEX_DEFINE_STUB(result, name, params, kind, code) \
    extern "C" result NORVEX_API name params { NORVEX_STUB_##kind(name, code) }
#define NORVEX_DEFINE_STUB_FIELDS(result, name, params, code) NORVEX_DEFINE_STUB(result, name, params, STUB_FIELDS, code)
#define NORVEX_DEFINE_STUB_FIELDS_RESULT(result, name, params, code) \
    NORVEX_DEFINE_STUB(result, name, params, STUB_FIELDS_RESULT, code)
#define NORVEX_DEFINE_STUB_GUARDED(result, name, params, code) NORVEX_DEFINE_STUB(result, name, params, STUB_GUARDED, code)
#define NORVEX_DEFINE_STUB_FREE(result, name, params, code) NORVEX_DEFINE_STUB(result, name, params, STUB_FREE, code)
#define NORVEX_DEFINE_STUB_REOPEN(result, name, params, code) NORVEX_DEFINE_STUB(result, name, params, STUB_REOPEN, code)

#define NORVEX_EXPORT(result, name, argc, kind, code, params) NORVEX_DEFINE_##kind(result, name, params, code)
#include "api/ExportList.h"
#undef NORVEX_EXPORT
