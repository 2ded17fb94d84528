# Fails when the library's objects call a math function whose result may
# differ between C runtimes. Only the exactly rounded ones may be imported:
# sqrt, floor, ceil and fmod, and their float forms.
#   cmake -DNM=<nm> -DARCHIVE=<static library of the objects> -P check_math_imports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${NM} -u ${ARCHIVE} OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} -u ${ARCHIVE} failed")
endif()

set(math_functions
    acos asin atan atan2 cos sin tan acosh asinh atanh cosh sinh tanh exp exp2 expm1 frexp ilogb ldexp log log10
    log1p log2 logb modf scalbn scalbln cbrt fabs hypot pow sqrt erf erfc lgamma tgamma ceil floor nearbyint rint
    lrint llrint round lround llround trunc fmod remainder remquo copysign nan nextafter nexttoward fdim fmax fmin
    fma sincos exp10 pow10)
set(exact sqrt sqrtf floor floorf ceil ceilf fmod fmodf)
list(JOIN math_functions "|" alternatives)

string(REPLACE "\n" ";" lines "${listing}")
set(forbidden "")
set(allowed "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  string(REGEX REPLACE "^U +" "" symbol "${line}")
  # Windows import thunks, glibc's internal variants and symbol versions.
  string(REGEX REPLACE "^__imp_" "" symbol "${symbol}")
  string(REGEX REPLACE "@.*$" "" symbol "${symbol}")
  if(symbol MATCHES "^_*(${alternatives})[fl]?(_finite)?$")
    string(REGEX REPLACE "^_+" "" name "${symbol}")
    if(name IN_LIST exact)
      list(APPEND allowed ${name})
    else()
      list(APPEND forbidden ${symbol})
    endif()
  endif()
endforeach()
list(REMOVE_DUPLICATES forbidden)
list(REMOVE_DUPLICATES allowed)
if(forbidden)
  message(FATAL_ERROR "the library imports math functions whose results differ between C runtimes: ${forbidden}")
endif()
message(STATUS "math imports (all exact): ${allowed}")
