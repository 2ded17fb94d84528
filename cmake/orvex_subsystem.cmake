# One OBJECT library per subsystem, made of the sources listed in
# src/<name>/sources.cmake. That file sets
#   orvex_sources          files compiled once, for the baseline
#   orvex_kernel_families  kernel families, each compiled once per set in
#                          ORVEX_ISAS from <family>_<set>.cpp with that set's
#                          flags (ORVEX_AVX2_FLAGS, ORVEX_AVX512_FLAGS)
# and may append single per-set files to orvex_sources: a file ending in
# _avx2.cpp or _avx512.cpp gets that set's flags. A .cpp file in src/<name>/
# that the list leaves out fails the configuration.
set(ORVEX_ISAS baseline avx2 avx512)

function(orvex_add_subsystem name)
  set(dir ${PROJECT_SOURCE_DIR}/src/${name})
  if(NOT EXISTS ${dir}/sources.cmake)
    return()
  endif()
  set(orvex_sources "")
  set(orvex_kernel_families "")
  include(${dir}/sources.cmake)
  foreach(family IN LISTS orvex_kernel_families)
    foreach(isa IN LISTS ORVEX_ISAS)
      list(APPEND orvex_sources ${family}_${isa}.cpp)
    endforeach()
  endforeach()

  file(GLOB present RELATIVE ${dir} ${dir}/*.cpp)
  foreach(file IN LISTS present)
    if(NOT file IN_LIST orvex_sources)
      message(FATAL_ERROR "src/${name}/${file} is not listed in src/${name}/sources.cmake")
    endif()
  endforeach()

  list(TRANSFORM orvex_sources PREPEND ${dir}/)
  add_library(orvex_${name} OBJECT ${orvex_sources})
  target_include_directories(orvex_${name} PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(orvex_${name} PUBLIC ORVEX_BUILDING_LIBRARY)
  foreach(source IN LISTS orvex_sources)
    if(source MATCHES "_avx2\\.cpp$")
      set_source_files_properties(${source} TARGET_DIRECTORY orvex_${name} PROPERTIES COMPILE_OPTIONS "${ORVEX_AVX2_FLAGS}")
    elseif(source MATCHES "_avx512\\.cpp$")
      set_source_files_properties(${source} TARGET_DIRECTORY orvex_${name} PROPERTIES COMPILE_OPTIONS "${ORVEX_AVX512_FLAGS}")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY ORVEX_BUILT_SUBSYSTEMS ${name})
endfunction()
