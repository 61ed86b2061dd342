# Runs host_calls natively against libMoravel.so and through the emulator
# against libMoravel.dll (loaded by name from the program's directory), then
# compares the two outputs bit for bit (compare_host_calls.py).
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(MAKE_DIRECTORY ${WORK_DIR})
get_filename_component(host_dir ${HOST} DIRECTORY)
execute_process(COMMAND ${NATIVE_HOST} ${NATIVE_LIBRARY} ${POINTS}
                OUTPUT_FILE ${WORK_DIR}/native.txt RESULT_VARIABLE native_status)
execute_process(COMMAND ${emulator} ${HOST} libMoravel.dll ${POINTS}
                WORKING_DIRECTORY ${host_dir}
                OUTPUT_FILE ${WORK_DIR}/windows.txt RESULT_VARIABLE windows_status)
if(NOT native_status EQUAL 0 OR NOT windows_status EQUAL 0)
  message(FATAL_ERROR "host_calls failed: native ${native_status}, Windows ${windows_status}")
endif()
execute_process(COMMAND ${PYTHON} -B ${COMPARE} ${WORK_DIR}/native.txt ${WORK_DIR}/windows.txt ${BOUNDS}
                RESULT_VARIABLE compare_status)
if(NOT compare_status EQUAL 0)
  message(FATAL_ERROR "the Windows results differ from the native ones beyond the bounds")
endif()
