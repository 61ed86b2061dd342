# Installs the build tree into a fresh prefix, checks what was installed, and
# builds and runs two hosts against it: a C++ one through
# find_package(Moravel CONFIG), a plain C one through pkg-config.
#
# cmake -DBUILD_DIR=... -DCONSUMERS=... -DWORK_DIR=... -DLIBDIR=... -DVERSION=...
#       -DGENERATOR=... -DC_COMPILER=... -DCXX_COMPILER=... -DWITH_TOOL=ON|OFF -P this

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE status OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " command "${ARGV}")
    message(FATAL_ERROR "${command}\nfailed (${status}):\n${out}${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# ---- install ------------------------------------------------------------------
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

string(REPLACE "." "\\." libdir_re "${LIBDIR}")
set(allowed
  "^include/moravel\\.h$"
  "^include/moravel/(api|export)\\.h$"
  "^${libdir_re}/libMoravel\\.so(\\.1(\\.0\\.0)?)?$"
  "^${libdir_re}/cmake/Moravel/Moravel(Config|ConfigVersion|Targets|Targets-[a-z]+)\\.cmake$"
  "^${libdir_re}/pkgconfig/moravel\\.pc$"
  "^lib/python3[^/]*/(site|dist)-packages/moravel/([a-z_]+/)?[a-z_]+\\.py$")
if(WITH_TOOL)
  list(APPEND allowed "^bin/moravel$")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
foreach(file IN LISTS installed)
  set(known FALSE)
  foreach(pattern IN LISTS allowed)
    if(file MATCHES "${pattern}")
      set(known TRUE)
    endif()
  endforeach()
  if(NOT known)
    message(FATAL_ERROR "installed but not part of the package: ${file}")
  endif()
endforeach()
foreach(file include/moravel.h include/moravel/api.h include/moravel/export.h ${LIBDIR}/libMoravel.so.${VERSION} ${LIBDIR}/pkgconfig/moravel.pc
             ${LIBDIR}/cmake/Moravel/MoravelConfig.cmake
             ${LIBDIR}/cmake/Moravel/MoravelConfigVersion.cmake)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
foreach(link libMoravel.so.${major} libMoravel.so)
  if(NOT IS_SYMLINK ${prefix}/${LIBDIR}/${link})
    message(FATAL_ERROR "${LIBDIR}/${link} is not a link to the library")
  endif()
endforeach()

# ---- the version file: same major version only -------------------------------
set(CMAKE_SIZEOF_VOID_P 8)
foreach(wanted_and_expected "${major}.0;TRUE" "${VERSION};TRUE" "99.0;FALSE")
  list(GET wanted_and_expected 0 PACKAGE_FIND_VERSION)
  list(GET wanted_and_expected 1 expected)
  string(REGEX MATCH "^[0-9]+" PACKAGE_FIND_VERSION_MAJOR "${PACKAGE_FIND_VERSION}")
  unset(PACKAGE_VERSION_COMPATIBLE)
  include(${prefix}/${LIBDIR}/cmake/Moravel/MoravelConfigVersion.cmake)
  if(NOT "${PACKAGE_VERSION_COMPATIBLE}" STREQUAL "${expected}")
    message(FATAL_ERROR "version ${PACKAGE_FIND_VERSION} asked of ${VERSION}: compatible "
                        "'${PACKAGE_VERSION_COMPATIBLE}', expected ${expected}")
  endif()
endforeach()

# ---- C++ host through find_package -------------------------------------------
set(project ${WORK_DIR}/cmake_consumer)
file(WRITE ${project}/CMakeLists.txt "
cmake_minimum_required(VERSION 3.16)
project(cmake_consumer LANGUAGES CXX)
find_package(Moravel ${major} CONFIG REQUIRED)
if(NOT Moravel_DIR MATCHES \"^${prefix}/\")
  message(FATAL_ERROR \"found Moravel at \${Moravel_DIR}, not in ${prefix}\")
endif()
add_executable(cmake_consumer ${CONSUMERS}/cmake_consumer.cpp)
target_link_libraries(cmake_consumer PRIVATE Moravel::Moravel)
")
run(${CMAKE_COMMAND} -S ${project} -B ${project}/build -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX_COMPILER} -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${project}/build)
run(${project}/build/cmake_consumer)
message(STATUS "${output}")

# ---- plain C host through pkg-config -----------------------------------------
find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/${LIBDIR}/pkgconfig)
run(${PKG_CONFIG} --modversion moravel)
string(STRIP "${output}" modversion)
if(NOT modversion STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config gives version ${modversion}, expected ${VERSION}")
endif()
run(${PKG_CONFIG} --cflags --libs moravel)
string(STRIP "${output}" flags)
if(NOT flags MATCHES "-I${prefix}/")
  message(FATAL_ERROR "pkg-config flags do not point into ${prefix}: ${flags}")
endif()
separate_arguments(flags UNIX_COMMAND "${flags}")
run(${C_COMPILER} -std=c11 -Wall -Wextra -Wpedantic -Werror ${CONSUMERS}/pkgconfig_consumer.c
    -o ${WORK_DIR}/pkgconfig_consumer ${flags})
run(${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/${LIBDIR} ${WORK_DIR}/pkgconfig_consumer)
message(STATUS "${output}")

# ---- the installed tool finds the installed library by itself ----------------
if(WITH_TOOL)
  run(${prefix}/bin/moravel loss -V 10 -A 5 --raw)
  if(NOT output STREQUAL "0.01838457033664814 4.908077148316759\n")
    message(FATAL_ERROR "installed tool printed '${output}'")
  endif()
endif()

file(REMOVE_RECURSE ${WORK_DIR})
