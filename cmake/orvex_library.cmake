# The shipped shared library, linked from every subsystem's objects, and a
# static twin that the tests and benchmarks link so that they can reach the
# internal kernels and the instruction-set override.
get_property(built GLOBAL PROPERTY ORVEX_BUILT_SUBSYSTEMS)
set(ORVEX_ALL_OBJECTS "")
foreach(name IN LISTS built)
  list(APPEND ORVEX_ALL_OBJECTS $<TARGET_OBJECTS:orvex_${name}>)
endforeach()

add_library(orvex_core SHARED ${ORVEX_ALL_OBJECTS})
target_include_directories(orvex_core PUBLIC ${PROJECT_SOURCE_DIR}/include)
set_target_properties(orvex_core PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
if(WIN32)
  # orvex_core.windows-amd64.dll, with the C and C++ runtimes linked in so
  # that it needs only the system's own DLLs.
  set_target_properties(orvex_core PROPERTIES OUTPUT_NAME orvex_core.windows-amd64 PREFIX "" IMPORT_PREFIX "lib")
  target_link_options(orvex_core PRIVATE -static -Wl,--exclude-all-symbols)
else()
  target_link_options(orvex_core PRIVATE -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/exports.map -Wl,--no-undefined)
  target_link_libraries(orvex_core PRIVATE m)
endif()

add_library(orvex_internal STATIC ${ORVEX_ALL_OBJECTS})
target_include_directories(orvex_internal PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(orvex_internal INTERFACE ORVEX_STATIC)
if(NOT WIN32)
  target_link_libraries(orvex_internal PUBLIC m)
endif()
