// The library's one adapter. Kept in its own file so programs that build adapters of their
// own (the tests) do not get this one too.
#include "adapter/Norvex.h"

namespace Orn {
namespace Fptr {
namespace Norvex {

Norvex& norvexAdapter() {
    static Norvex adapter;
    return adapter;
}

namespace {
// Builds the adapter while the library loads rather than at the first export call.
[[maybe_unused]] Norvex& loadedAdapter = norvexAdapter();
} // namespace

} // namespace Norvex
} // namespace Fptr
} // namespace Orn
