# Installs the Python package moravel where the prefix's Python finds it, and
# tells the package where the library lies relative to itself, so that an
# installed tree needs no MORAVEL_LIBRARY, PYTHONPATH or LD_LIBRARY_PATH.
#
# Run at install time (install(SCRIPT)), after python/CMakeLists.txt has set:
#   MORAVEL_PYTHON3      the interpreter asked where packages go (may be empty)
#   MORAVEL_PYTHONDIR    a directory relative to the prefix, or empty: ask
#   MORAVEL_LIBDIR       the library's directory, relative to the prefix
#   MORAVEL_LIBRARY_NAME the library's soname file
#   MORAVEL_PACKAGE      the package's source directory
#   MORAVEL_STAGING      a scratch directory of the build tree

set(prefix "${CMAKE_INSTALL_PREFIX}")
set(pythondir "${MORAVEL_PYTHONDIR}")
if(pythondir STREQUAL "" AND MORAVEL_PYTHON3)
  # The first directory of the interpreter's search path (the user's site
  # included) that lies under the prefix in the usual lib/... shape; else
  # the interpreter's own layout for a prefix of its kind.
  execute_process(
    COMMAND "${MORAVEL_PYTHON3}" -c [=[
import os, site, sys, sysconfig
prefix = os.path.realpath(sys.argv[1])
paths = list(sys.path)
try:
    paths.append(site.getusersitepackages())
except Exception:
    pass
for path in paths:
    if path and os.path.isabs(path):
        relative = os.path.relpath(os.path.realpath(path), prefix)
        if relative.startswith("lib") and relative.endswith(("site-packages", "dist-packages")):
            print(relative)
            break
else:
    purelib = sysconfig.get_path("purelib", "posix_prefix",
                                 vars={"base": prefix, "platbase": prefix})
    print(os.path.relpath(purelib, prefix))
]=] "${prefix}"
    OUTPUT_VARIABLE pythondir OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    set(pythondir "")
  endif()
endif()
if(pythondir STREQUAL "")
  set(pythondir "lib/python3/dist-packages")
endif()

if(IS_ABSOLUTE "${MORAVEL_LIBDIR}")
  set(library "${MORAVEL_LIBDIR}/${MORAVEL_LIBRARY_NAME}")
else()
  set(library "${prefix}/${MORAVEL_LIBDIR}/${MORAVEL_LIBRARY_NAME}")
endif()
file(RELATIVE_PATH relative "${prefix}/${pythondir}/moravel" "${library}")
file(MAKE_DIRECTORY "${MORAVEL_STAGING}")
file(WRITE "${MORAVEL_STAGING}/_installed.py"
  "\"\"\"Written by cmake --install: where the library lies, relative to this package.\"\"\"\n\n"
  "LIBRARY = \"${relative}\"\n")

file(INSTALL "${MORAVEL_PACKAGE}" DESTINATION "${prefix}/${pythondir}"
     FILES_MATCHING PATTERN "*.py" PATTERN "__pycache__" EXCLUDE)
file(INSTALL "${MORAVEL_STAGING}/_installed.py" DESTINATION "${prefix}/${pythondir}/moravel")
