// Four-character codes: four characters packed big-endian ('Trck' = 0x5472636B).
#pragma once

#include <cstdint>

constexpr uint32_t FourCC(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) << 24 | uint32_t(uint8_t(code[1])) << 16 |
         uint32_t(uint8_t(code[2])) << 8 | uint32_t(uint8_t(code[3]));
}

static_assert(FourCC("Trck") == 0x5472636B);
