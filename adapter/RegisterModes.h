#pragma once
// The register modes the adapter enters before its groups of operations.
namespace Orn { namespace Fptr { namespace Norvex {

constexpr int kModeSelect = 0;        // no mode: leave the current one
constexpr int kModeRegistration = 1;
constexpr int kModeReports = 2;       // reports without clearing (X)
constexpr int kModeShiftClose = 3;    // reports with clearing (Z)
constexpr int kModeProgramming = 4;

}}} // namespace Orn::Fptr::Norvex
