#pragma once
#include <cstdint>

// base multiplied exponent times, wrapping at 32 bits; 1 for exponent 0.
uint32_t IntPower(uint32_t base, uint32_t exponent);
