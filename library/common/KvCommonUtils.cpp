#include "KvCommonUtils.h"

uint32_t IntPower(uint32_t base, uint32_t exponent)
{
    // Square-and-multiply; unsigned arithmetic wraps exactly like repeated multiplying.
    uint32_t result = 1;
    while (exponent) {
        if (exponent & 1u)
            result *= base;
        base *= base;
        exponent >>= 1;
    }
    return result;
}
