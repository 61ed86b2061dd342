# Installation of libMoravel for hosts: the shared library with its soname
# link, the headers, a CMake package (find_package(Moravel CONFIG) ->
# Moravel::Moravel), a pkg-config file and the Python package.  Everything is relocatable, so
# `cmake --install <build> --prefix <anywhere>` gives a working tree.  The
# static archive, the tests and the benchmarks are not installed.
include(CMakePackageConfigHelpers)

set(MORAVEL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Moravel)

install(TARGETS Moravel EXPORT MoravelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/moravel.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/moravel/api.h
              ${PROJECT_SOURCE_DIR}/include/moravel/export.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/moravel)

install(EXPORT MoravelTargets NAMESPACE Moravel:: DESTINATION ${MORAVEL_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/MoravelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/MoravelConfig.cmake
  INSTALL_DESTINATION ${MORAVEL_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/MoravelConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/MoravelConfig.cmake
              ${PROJECT_BINARY_DIR}/MoravelConfigVersion.cmake
  DESTINATION ${MORAVEL_INSTALL_CMAKEDIR})

# moravel.pc finds its prefix from its own place (pkg-config's ${pcfiledir}),
# so that it stays right whatever prefix the tree is installed under.
set(MORAVEL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${MORAVEL_PKGCONFIGDIR}")
  set(MORAVEL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH MORAVEL_PC_UP "/root/${MORAVEL_PKGCONFIGDIR}" "/root")
  string(REGEX REPLACE "/$" "" MORAVEL_PC_UP "${MORAVEL_PC_UP}")
  set(MORAVEL_PC_PREFIX "\${pcfiledir}/${MORAVEL_PC_UP}")
endif()
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(MORAVEL_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(MORAVEL_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/moravel.pc.in ${PROJECT_BINARY_DIR}/moravel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/moravel.pc DESTINATION ${MORAVEL_PKGCONFIGDIR})

# The package is installed with the library, where the prefix's Python finds
# it (cmake/MoravelInstallPython.cmake); MORAVEL_INSTALL_PYTHONDIR, relative
# to the prefix, overrides the directory the interpreter suggests.
option(MORAVEL_INSTALL_PYTHON "Install the Python package with the library" ON)
set(MORAVEL_INSTALL_PYTHONDIR "" CACHE STRING
    "Directory of the Python package, relative to the prefix (empty: ask the interpreter)")
if(MORAVEL_INSTALL_PYTHON)
  find_program(MORAVEL_INSTALL_PYTHON3 NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH NO_CACHE)
  if(NOT MORAVEL_INSTALL_PYTHON3)
    find_program(MORAVEL_INSTALL_PYTHON3 NAMES python3 NO_CACHE)
  endif()
  # Hosts load the library by its soname; on Windows, where a DLL has none,
  # by its file name, from the directory of programs.
  # The package of a Windows prefix goes where a Windows Python looks, not
  # where this machine's interpreter would put it.
  set(MORAVEL_PYTHONDIR_TO_USE "${MORAVEL_INSTALL_PYTHONDIR}")
  if(WIN32)
    set(MORAVEL_LIBRARY_DIR ${CMAKE_INSTALL_BINDIR})
    set(MORAVEL_LIBRARY_NAME "$<TARGET_FILE_NAME:Moravel>")
    if(MORAVEL_PYTHONDIR_TO_USE STREQUAL "")
      set(MORAVEL_PYTHONDIR_TO_USE "Lib/site-packages")
    endif()
  else()
    set(MORAVEL_LIBRARY_DIR ${CMAKE_INSTALL_LIBDIR})
    set(MORAVEL_LIBRARY_NAME "$<TARGET_SONAME_FILE_NAME:Moravel>")
  endif()
  install(CODE "
    set(MORAVEL_PYTHON3 \"${MORAVEL_INSTALL_PYTHON3}\")
    set(MORAVEL_PYTHONDIR \"${MORAVEL_PYTHONDIR_TO_USE}\")
    set(MORAVEL_LIBDIR \"${MORAVEL_LIBRARY_DIR}\")
    set(MORAVEL_LIBRARY_NAME \"${MORAVEL_LIBRARY_NAME}\")
    set(MORAVEL_PACKAGE \"${PROJECT_SOURCE_DIR}/python/moravel\")
    set(MORAVEL_STAGING \"${PROJECT_BINARY_DIR}/python-install-staging\")")
  install(SCRIPT ${PROJECT_SOURCE_DIR}/cmake/MoravelInstallPython.cmake)
endif()
