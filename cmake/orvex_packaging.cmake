# Packages made by `cpack` in a build folder: on Linux one Debian package per
# install component, on Windows one ZIP of the whole installed tree.
#   runtime -> liborvex-core1  the shared library (section libs)
#   dev     -> liborvex-dev    header, CMake package, pkg-config file
#   tools   -> orvex-tools     programs installed with COMPONENT tools
# A component without install rules yields no package.
set(ORVEX_PACKAGE_CONTACT "orvex developers <orvex-dev@users.noreply.invalid>"
    CACHE STRING "Maintainer written into the packages")

set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VENDOR orvex)
set(CPACK_PACKAGE_CONTACT "${ORVEX_PACKAGE_CONTACT}")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
# The project's description is each package's synopsis; these follow it.
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "The shared library of orvex: raw normalisation, demosaicing, colour \
transforms, tone and profile maps and the area corrections of raw-file opcode lists, behind a flat C interface. \
Results are identical to the last bit on every x86-64 CPU.")
set(CPACK_COMPONENT_DEV_DESCRIPTION
    "Development files: the C header, the CMake package \
(find_package(orvex), target orvex::orvex_core) and the pkg-config file (orvex) of orvex.")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "Programs built on orvex.")
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME orvex-${PROJECT_VERSION}-windows-amd64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Depends on the C and C++ runtimes found by dpkg-shlibdeps, and a shlibs
  # file so that programs linking liborvex_core.so.1 depend on
  # liborvex-core1 (>= this version).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME liborvex-core${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_DEV_PACKAGE_NAME liborvex-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME orvex-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION graphics)
  # The tools link the library of the runtime package built beside them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
endif()

include(CPack)
