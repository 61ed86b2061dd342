# The Windows build (cross-built with MinGW-w64, see cmake/mingw-w64-x86_64.cmake).
#
# libMoravel.dll is one file: the C++ runtime, libgcc and winpthread are
# linked in, so that it needs the system's DLLs only and a host can copy it
# anywhere.  Every program of the build is linked the same way and written
# beside the DLL, where the Windows loader looks first.
add_link_options(-static)
# printf and its kin as C99 writes numbers (as the C++ streams here do
# already), not as the system's msvcrt.dll does.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# Programs of the build run here through Wine, in a prefix of the build tree
# made once at configure time (making one takes some fifteen seconds; runs
# that each made their own would race).  Without Wine the build still works;
# the tests then need a Windows machine.
if(CMAKE_CROSSCOMPILING AND NOT DEFINED MORAVEL_WINE_PREFIX)
  find_program(MORAVEL_WINE_LOADER NAMES wine64 wine PATHS /usr/lib/wine)
  if(MORAVEL_WINE_LOADER)
    set(MORAVEL_WINE_PREFIX ${PROJECT_BINARY_DIR}/wineprefix)
    # No Mono or Gecko download offers, no debug chatter.
    set(wine_environment WINEPREFIX=${MORAVEL_WINE_PREFIX} WINEDEBUG=-all
                         WINEDLLOVERRIDES=mscoree,mshtml=)
    if(NOT EXISTS ${MORAVEL_WINE_PREFIX}/system.reg)
      message(STATUS "Making the Wine prefix ${MORAVEL_WINE_PREFIX}")
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env ${wine_environment} ${MORAVEL_WINE_LOADER} wineboot --init
        RESULT_VARIABLE wine_status OUTPUT_QUIET ERROR_QUIET)
      if(NOT wine_status EQUAL 0)
        message(WARNING "wineboot failed (${wine_status}): the tests may not run")
      endif()
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_COMMAND} -E env ${wine_environment}
        ${MORAVEL_WINE_LOADER})
  endif()
endif()

# The DLL's export table is written from the same list as the Linux version
# script (the export map generated from the interface description), through
# a module-definition file: each name is
# exported as it stands (x86-64 has one calling convention, so no name is
# decorated), and nothing else is.
function(moravel_windows_exports target map)
  file(READ ${map} text)
  string(REGEX REPLACE "/\\*([^*]|\\*[^/])*\\*/" "" text "${text}")
  string(REGEX MATCH "global:([^}]*)local:" global "${text}")
  string(REGEX MATCHALL "[A-Za-z_][A-Za-z0-9_]*" names "${CMAKE_MATCH_1}")
  set(def "LIBRARY lib${target}.dll\nEXPORTS\n")
  foreach(name IN LISTS names)
    string(APPEND def "  ${name}\n")
  endforeach()
  set(def_file ${PROJECT_BINARY_DIR}/lib${target}.def)
  file(CONFIGURE OUTPUT ${def_file} CONTENT "${def}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${map})
  # No other symbol is exported, whatever the linked archives mark.
  target_link_options(${target} PRIVATE ${def_file} -Wl,--exclude-all-symbols)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def_file})
endfunction()

# The tool's header-only libraries, CLI11 and nlohmann-json, are Debian
# packages of the build machine.  Their package files would put /usr/include
# on the cross compiler's path, with the build machine's C library in it:
# the headers are copied instead, and packages that name only the copies
# stand in for them.
if(CMAKE_CROSSCOMPILING)
  set(staged ${PROJECT_BINARY_DIR}/host-headers)
  foreach(package IN ITEMS "CLI11|CLI11::CLI11|CLI" "nlohmann_json|nlohmann_json::nlohmann_json|nlohmann")
    string(REPLACE "|" ";" package "${package}")
    list(GET package 0 name)
    list(GET package 1 target)
    list(GET package 2 directory)
    if(EXISTS /usr/include/${directory} AND NOT DEFINED ${name}_DIR)
      file(COPY /usr/include/${directory} DESTINATION ${staged}/include)
      file(WRITE ${staged}/${name}/${name}Config.cmake
        "if(NOT TARGET ${target})\n"
        "  add_library(${target} INTERFACE IMPORTED)\n"
        "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${staged}/include\")\n"
        "endif()\n")
      set(${name}_DIR ${staged}/${name} CACHE PATH "The build machine's ${name} headers, for the target")
    endif()
  endforeach()
endif()
