# Install rules: the header, the shared library (with its soname and version
# links, or the DLL and its import library on Windows), the CMake package
# giving orvex::orvex_core, and a pkg-config file. Components: "runtime" holds
# what a program needs to run, "dev" what it needs to build against orvex.
include(CMakePackageConfigHelpers)

set(ORVEX_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/orvex)

install(TARGETS orvex_core EXPORT orvex-targets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/include/orvex.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)

install(EXPORT orvex-targets NAMESPACE orvex:: DESTINATION ${ORVEX_CMAKE_PACKAGE_DIR} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orvex_config.cmake.in
                              ${PROJECT_BINARY_DIR}/package/orvex-config.cmake
                              INSTALL_DESTINATION ${ORVEX_CMAKE_PACKAGE_DIR})
# 1.x releases keep the 1.0 interface: any 1.y.z satisfies a request for 1.0.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/orvex-config-version.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/package/orvex-config.cmake ${PROJECT_BINARY_DIR}/package/orvex-config-version.cmake
        DESTINATION ${ORVEX_CMAKE_PACKAGE_DIR} COMPONENT dev)

if(NOT WIN32)
  # The .pc file finds the prefix from its own location, so an installed
  # tree (or an unpacked package) can be moved.
  file(RELATIVE_PATH ORVEX_PC_PREFIX_FROM_PCFILEDIR /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" ORVEX_PC_PREFIX_FROM_PCFILEDIR "${ORVEX_PC_PREFIX_FROM_PCFILEDIR}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/orvex.pc.in ${PROJECT_BINARY_DIR}/package/orvex.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/package/orvex.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endif()
