// The banner and the usage line.
#pragma once

namespace koral {

struct Assembly;

inline constexpr const char* product_name = "KORAL Relocatable Assembler (32)";
inline constexpr const char* product_version = "1.0b";
inline constexpr const char* program_name = "ASMKORAL";
inline constexpr const char* notice_line = "asmKORAL - Copyright (c) 2026 The asmKORAL project";
inline constexpr const char* usage_line = "usage: asmKORAL [ options ] file.";

// Prints the banner once per run, unless -$ was given without -V.
void print_banner(Assembly& a);

}  // namespace koral
