// The export table, the public header and the built library agree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <type_traits>

#include "norvex.h"

namespace {

template <typename F>
struct ArgCount;
template <typename R, typename... A>
struct ArgCount<R(A...)> {
    static constexpr int value = sizeof...(A);
};

// Each row: the header declares the export with exactly the table's result and argument
// types (so the same 4-byte slots), and the count column matches the types.
#define NORVEX_EXPORT(result, name, argc, kind, code, params)                                   \
    static_assert(std::is_same<decltype(::name), result params>::value,                        \
                  #name ": the header's declaration differs from the export table");           \
    static_assert(ArgCount<result params>::value == argc, #name ": argument count column is wrong");
#include "api/ExportList.h"
#undef NORVEX_EXPORT

} // namespace

TEST(Exports, LibraryExportsExactlyTheTable) {
    const std::string cmd = std::string("bash \"") + NORVEX_SOURCE_DIR + "/scripts/check-exports.sh\" \"" +
                            NORVEX_LIBRARY_PATH + "\"";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
}
