#pragma once
#include <string>

#include "graphic/Picture.h"

namespace Orn { namespace Graphic {

// Kinds: 0 EAN-8, 1 EAN-13, 2 UPC-A, 3 Code 39. Raises -26, -27, -28.
void renderBarcode(Picture& picture, const std::wstring& text, int kind, bool verifyCheckDigit,
                   int rotation, double scale, int height, bool hideText,
                   const std::wstring& background, const std::wstring& bars);

}} // namespace Orn::Graphic
