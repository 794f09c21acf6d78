# PLUMWICK_FLOAT_OPTIONS: the compile options that make float arithmetic the
# same on every CPU, each operation rounded to float as written.
#  - No fused multiply-adds: GCC fuses `a * b + c` where the CPU has one
#    (arm64, riscv64), even in ISO mode, and a game would then play out
#    differently there.
#  - SSE arithmetic on 32-bit x86: Debian's i386 compiler defaults to x87,
#    which carries intermediates at 80 bits (FLT_EVAL_METHOD 2), and a replay
#    drifts. SSE2 is in every x86 CPU since about 2003, every 64-bit one too.
#    The target is asked of the compiler itself: a 32-bit root on a 64-bit
#    kernel, or a cross build, says x86_64 to uname.
include_guard(GLOBAL)
include(CheckCXXSourceCompiles)

set(PLUMWICK_FLOAT_OPTIONS -ffp-contract=off)
check_cxx_source_compiles("
#ifndef __i386__
#error not 32-bit x86
#endif
int main() { return 0; }" PLUMWICK_TARGET_X86_32)
if(PLUMWICK_TARGET_X86_32)
  list(APPEND PLUMWICK_FLOAT_OPTIONS -msse2 -mfpmath=sse)
endif()
