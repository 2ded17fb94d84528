# The build supports x86-64 targets compiled by GCC or Clang only: the kernels
# use x86 vector intrinsics, and the runtime CPU probe and the flags below are
# theirs. Anything else stops here with a clear message.
foreach(lang C CXX)
  if(NOT CMAKE_${lang}_COMPILER_ID MATCHES "^(GNU|Clang)$")
    message(FATAL_ERROR "orvex is built with GCC or Clang; the ${lang} compiler is "
                        "${CMAKE_${lang}_COMPILER_ID} (${CMAKE_${lang}_COMPILER})")
  endif()
endforeach()
if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  message(FATAL_ERROR "orvex is built for x86-64 CPUs only; this build targets '${CMAKE_SYSTEM_PROCESSOR}' "
                      "with ${CMAKE_SIZEOF_VOID_P}-byte pointers")
endif()

# Compiler settings shared by every target. Results must be bit-exact on every
# build: no contraction into fused multiply-adds and no fast-math, ever.
add_compile_options(-ffp-contract=off -fno-fast-math -fno-math-errno)
add_compile_options(-Wall -Wextra -Wpedantic)
if(ORVEX_WERROR)
  add_compile_options(-Werror)
endif()
if(ORVEX_SANITIZE)
  add_compile_options(-fsanitize=${ORVEX_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ORVEX_SANITIZE})
endif()
if(ORVEX_BUILD_FUZZERS)
  # Coverage feedback for libFuzzer in every object; the fuzz programs link
  # the fuzzer's own main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Flags for the per-ISA translation units, chosen by file name suffix. The
# baseline stays plain x86-64; faster sets are reached by runtime dispatch.
set(ORVEX_AVX2_FLAGS -mavx2 -mno-fma)
# GCC 12 warns falsely about the _mm512_undefined_* placeholders inside its
# own AVX-512 headers once gathers and conversions inline.
set(ORVEX_AVX512_FLAGS -mavx512f -mavx512bw -mavx512vl -mavx512dq -mno-fma -mprefer-vector-width=512
                       -Wno-maybe-uninitialized -Wno-uninitialized)

# MinGW's GCC may spill 256/512-bit registers to stack slots that the Windows
# ABI does not align (GCC bug 54412); the assembler then turns every aligned
# vector move into an unaligned one, which is as fast on aligned data.
if(WIN32)
  add_compile_options(-Wa,-muse-unaligned-vector-move)
endif()
