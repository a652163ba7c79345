#include "pc/rights.h"

bool InputKeptOutOfForeground(uint32_t ownLevel, uint32_t foregroundLevel)
{
    if (ownLevel == UNKNOWN_INTEGRITY || foregroundLevel == UNKNOWN_INTEGRITY) return false;
    return foregroundLevel >= HIGH_INTEGRITY && foregroundLevel > ownLevel;
}
