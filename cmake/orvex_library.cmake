# The shipped shared library, linked from every subsystem's objects, and a
# static twin that the benchmarks link so that they can reach the internal
# kernels and the instruction-set override. (The test programs link the
# objects of the subsystems they test directly.)
get_property(built GLOBAL PROPERTY ORVEX_BUILT_SUBSYSTEMS)
set(ORVEX_ALL_OBJECTS "")
foreach(name IN LISTS built)
  list(APPEND ORVEX_ALL_OBJECTS $<TARGET_OBJECTS:orvex_${name}>)
endforeach()

# orvex_version() returns the project's version, written into a header here.
set(ORVEX_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/orvex_version.h.in ${ORVEX_GENERATED_INCLUDE_DIR}/orvex_version.h @ONLY)
target_include_directories(orvex_frame PRIVATE ${ORVEX_GENERATED_INCLUDE_DIR})

add_library(orvex_core SHARED ${ORVEX_ALL_OBJECTS})
target_include_directories(orvex_core PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
                                             $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
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

add_library(orvex_internal STATIC EXCLUDE_FROM_ALL ${ORVEX_ALL_OBJECTS})
target_include_directories(orvex_internal PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(orvex_internal INTERFACE ORVEX_STATIC)
if(NOT WIN32)
  target_link_libraries(orvex_internal PUBLIC m)
endif()
