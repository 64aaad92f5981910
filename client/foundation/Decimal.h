#pragma once
// Decimal parsing of settings values: leading white space, one optional sign, then
// digits up to the first non-digit, accumulated with wrap-around (no saturation).
// So "4294967295" and "-1" give the same 32-bit value; text without digits gives 0.

#include <cstdint>

std::int32_t ParseDecimal32(const char* text);
std::int64_t ParseDecimal64(const char* text);
