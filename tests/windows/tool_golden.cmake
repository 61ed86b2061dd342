# Runs moravel.exe through the emulator with ARGUMENTS (split as a shell
# would split plain words) and compares its output, standard output and
# standard error together, with the golden file line for line: the tool
# writes Windows line ends, which execute_process reads as plain newlines.
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" emulator "${EMULATOR}")
separate_arguments(arguments UNIX_COMMAND "${ARGUMENTS}")
execute_process(COMMAND ${emulator} ${TOOL} ${arguments}
                OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
file(READ ${GOLDEN} expected)
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "moravel ${ARGUMENTS}: status ${status}, expected ${STATUS}\n${out}")
endif()
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "moravel ${ARGUMENTS}: output differs from ${GOLDEN}\n"
                      "--- got ---\n${out}--- expected ---\n${expected}")
endif()
