#pragma once
// Static tables of the three register models: value and caption maps and their descriptions.
namespace Orn { namespace Fptr { namespace Tavro20 {
struct ModelDescriptor;
}}} // namespace Orn::Fptr::Tavro20
