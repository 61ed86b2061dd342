# The glue generated from the description of the second interface,
# src/api/interface.json, at configure time with CMake's own JSON reader
# (nothing beyond CMake is needed):
#
#   moravel.map                   the export map: the legacy names, then
#                                 every entry point's C name
#   status_messages.cpp           moravel_status_message(): each status's
#                                 subject and message joined
#   interface_description.cpp     moravel_interface_description(): the JSON
#                                 text itself, as bytes
#   moravel/interface_table.h     for the tests: the names, prototypes,
#                                 records and statuses as described
#   moravel/interface_check.h     for the tests: static assertions that the
#                                 header's functions, records and codes are
#                                 the described ones
#
# Sets MORAVEL_INTERFACE_SOURCES (the two library sources),
# MORAVEL_GENERATED_MAP and MORAVEL_GENERATED_INCLUDE_DIR.

set(MORAVEL_INTERFACE_FILE ${PROJECT_SOURCE_DIR}/src/api/interface.json)
set(MORAVEL_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(MORAVEL_GENERATED_INCLUDE_DIR ${MORAVEL_GENERATED_DIR}/include)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${MORAVEL_INTERFACE_FILE})
file(READ ${MORAVEL_INTERFACE_FILE} _json)

# A C string literal of `text`.
function(_moravel_c_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# Every status and entry point a reference may name.
string(JSON _statuses LENGTH "${_json}" statuses)
math(EXPR _last_status "${_statuses} - 1")
set(_status_names "")
foreach(i RANGE ${_last_status})
  string(JSON _name GET "${_json}" statuses ${i} name)
  list(APPEND _status_names ${_name})
endforeach()
string(JSON _entries LENGTH "${_json}" entry_points)
math(EXPR _last_entry "${_entries} - 1")
set(_entry_names "")
foreach(i RANGE ${_last_entry})
  string(JSON _name GET "${_json}" entry_points ${i} c_name)
  list(APPEND _entry_names ${_name})
endforeach()

# ---- entry points ------------------------------------------------------------
math(EXPR _last_entry "${_entries} - 1")
set(_map_names "")
# Every moravel_ name, for builds that list their exports (WebAssembly).
set(MORAVEL_API_NAMES "")
set(_entry_rows "")
set(_type_checks "")
set(_api_names "")
foreach(i RANGE ${_last_entry})
  string(JSON _name GET "${_json}" entry_points ${i} c_name)
  string(JSON _returns GET "${_json}" entry_points ${i} returns)
  string(JSON _count LENGTH "${_json}" entry_points ${i} arguments)
  set(_declared "")
  set(_types "")
  set(_argument_names "")
  if(_count GREATER 0)
    math(EXPR _last_argument "${_count} - 1")
    foreach(j RANGE ${_last_argument})
      string(JSON _argument GET "${_json}" entry_points ${i} arguments ${j} name)
      string(JSON _type GET "${_json}" entry_points ${i} arguments ${j} type)
      list(APPEND _declared "${_type} ${_argument}")
      list(APPEND _argument_names ${_argument})
      string(JSON _role GET "${_json}" entry_points ${i} arguments ${j} role)
      if(_role STREQUAL "input")
        string(JSON _refusals LENGTH "${_json}" entry_points ${i} arguments ${j} refused_by)
        if(_refusals GREATER 0)
          math(EXPR _last_refusal "${_refusals} - 1")
          foreach(k RANGE ${_last_refusal})
            string(JSON _status GET "${_json}" entry_points ${i} arguments ${j} refused_by ${k})
            if(NOT _status IN_LIST _status_names)
              message(FATAL_ERROR "${MORAVEL_INTERFACE_FILE}: ${_name}(${_argument}) is refused by ${_status}, which is no status")
            endif()
          endforeach()
        endif()
      endif()
      list(APPEND _types "${_type}")
    endforeach()
    # An array argument names the argument that counts its elements.
    foreach(j RANGE ${_last_argument})
      string(JSON _length ERROR_VARIABLE _no_length GET "${_json}" entry_points ${i} arguments ${j} length)
      if(NOT _no_length AND NOT _length IN_LIST _argument_names)
        string(JSON _argument GET "${_json}" entry_points ${i} arguments ${j} name)
        message(FATAL_ERROR "${MORAVEL_INTERFACE_FILE}: the length of ${_name}(${_argument}), ${_length}, is no argument of it")
      endif()
    endforeach()
  endif()
  list(JOIN _declared ", " _declared)
  list(JOIN _types ", " _types)
  if(_declared STREQUAL "")
    set(_declared "void")
  endif()
  foreach(_link array_twin simulated_twin)
    string(JSON _twin GET "${_json}" entry_points ${i} ${_link})
    if(NOT _twin STREQUAL "" AND NOT _twin IN_LIST _entry_names)
      message(FATAL_ERROR "${MORAVEL_INTERFACE_FILE}: the ${_link} of ${_name}, ${_twin}, is no entry point")
    endif()
  endforeach()
  string(APPEND _map_names "    ${_name};\n")
  list(APPEND MORAVEL_API_NAMES ${_name})
  string(APPEND _api_names "    \"${_name}\",\n")
  string(APPEND _entry_rows "    {\"${_name}\", \"${_returns}\", \"${_declared}\"},\n")
  string(APPEND _type_checks
         "static_assert(std::is_same_v<decltype(&${_name}), ${_returns} (*)(${_types}) noexcept>,\n"
         "              \"${_name}: the header's prototype is not the described one\");\n")
endforeach()

string(JSON _legacy_count LENGTH "${_json}" legacy_exports)
math(EXPR _last_legacy "${_legacy_count} - 1")
set(_legacy_map "")
set(_legacy_names "")
foreach(i RANGE ${_last_legacy})
  string(JSON _name GET "${_json}" legacy_exports ${i})
  string(APPEND _legacy_map "    ${_name};\n")
  string(APPEND _legacy_names "    \"${_name}\",\n")
endforeach()

# ---- statuses ----------------------------------------------------------------
set(_cases "")
set(_status_rows "")
foreach(i RANGE ${_last_status})
  string(JSON _code GET "${_json}" statuses ${i} code)
  string(JSON _name GET "${_json}" statuses ${i} name)
  string(JSON _subject GET "${_json}" statuses ${i} subject)
  string(JSON _message GET "${_json}" statuses ${i} message)
  if(_subject STREQUAL "")
    set(_text "${_message}")
  else()
    set(_text "${_subject} ${_message}")
  endif()
  _moravel_c_string(_literal "${_text}")
  _moravel_c_string(_subject_literal "${_subject}")
  _moravel_c_string(_message_literal "${_message}")
  string(APPEND _cases "    case ${_code}: return ${_literal};\n")
  string(APPEND _status_rows
         "    {${_code}, \"${_name}\", ${_subject_literal}, ${_message_literal}},\n")
  string(APPEND _type_checks
         "static_assert(${_name} == ${_code}, \"${_name}: the header's code is not the described one\");\n")
endforeach()

# ---- codes: the values of the header's enumerations and constants -----------
string(JSON _codes LENGTH "${_json}" codes)
math(EXPR _last_code "${_codes} - 1")
foreach(i RANGE ${_last_code})
  string(JSON _name GET "${_json}" codes ${i} name)
  string(JSON _value GET "${_json}" codes ${i} value)
  string(APPEND _type_checks
         "static_assert(${_name} == ${_value}, \"${_name}: the header's value is not the described one\");\n")
endforeach()

# ---- records -----------------------------------------------------------------
string(JSON _records LENGTH "${_json}" records)
math(EXPR _last_record "${_records} - 1")
set(_field_rows "")
foreach(i RANGE ${_last_record})
  string(JSON _record GET "${_json}" records ${i} name)
  string(JSON _size GET "${_json}" records ${i} size)
  string(APPEND _type_checks
         "static_assert(sizeof(${_record}) == ${_size}, \"${_record}: size\");\n")
  string(JSON _fields LENGTH "${_json}" records ${i} fields)
  math(EXPR _last_field "${_fields} - 1")
  foreach(j RANGE ${_last_field})
    string(JSON _field GET "${_json}" records ${i} fields ${j} name)
    string(JSON _type GET "${_json}" records ${i} fields ${j} type)
    string(JSON _offset GET "${_json}" records ${i} fields ${j} offset)
    string(APPEND _field_rows "    {\"${_record}\", \"${_type} ${_field}\", ${_offset}},\n")
    string(APPEND _type_checks
           "static_assert(offsetof(${_record}, ${_field}) == ${_offset}, \"${_record}.${_field}: offset\");\n"
           "static_assert(std::is_same_v<decltype(${_record}::${_field}), ${_type}>, \"${_record}.${_field}: type\");\n")
  endforeach()
endforeach()

# ---- the files ---------------------------------------------------------------
set(_notice "Generated from src/api/interface.json by cmake/MoravelInterface.cmake: edit the description, not this file.")

set(MORAVEL_GENERATED_MAP ${MORAVEL_GENERATED_DIR}/moravel.map)
file(CONFIGURE OUTPUT ${MORAVEL_GENERATED_MAP} @ONLY CONTENT
"/* ${_notice}
   The dynamic symbol table of libMoravel: the C exports of moravel.h and
   of moravel/api.h, and nothing else.  An unnamed version node keeps the
   names plain (no @VERSION suffix). */
{
  global:
${_legacy_map}${_map_names}  local:
    *;
};
")

file(CONFIGURE OUTPUT ${MORAVEL_GENERATED_DIR}/status_messages.cpp @ONLY CONTENT
"// ${_notice}
// The text of each status code of the status-returning interface: the
// words naming the argument concerned, then what it must be.
#include \"moravel/api.h\"

extern \"C\" {

MORAVEL_API const char* moravel_status_message(int32_t status) noexcept {
  switch (status) {
${_cases}    default: return \"unknown status code\";
  }
}

}  // extern \"C\"
")

file(READ ${MORAVEL_INTERFACE_FILE} _hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," _bytes "${_hex}")
file(CONFIGURE OUTPUT ${MORAVEL_GENERATED_DIR}/interface_description.cpp @ONLY CONTENT
"// ${_notice}
// The description built into the library, so that a host reads the
// description of the very library it loaded.
#include \"moravel/api.h\"

namespace {

// Bytes, not a string literal: some compilers cap a literal's length.
const char kDescription[] = {
    ${_bytes}'\\0'};

}  // namespace

extern \"C\" {

MORAVEL_API const char* moravel_interface_description(void) noexcept { return kDescription; }

}  // extern \"C\"
")

file(CONFIGURE OUTPUT ${MORAVEL_GENERATED_INCLUDE_DIR}/moravel/interface_table.h @ONLY CONTENT
"// ${_notice}
// The interface as described, for the tests that hold the header, the
// export map and the library to it.
#ifndef MORAVEL_GENERATED_INTERFACE_TABLE_H
#define MORAVEL_GENERATED_INTERFACE_TABLE_H

#include <cstddef>

namespace moravel::described {

struct Entry {
  const char* name;
  const char* returns;
  const char* arguments;  // \"type name, type name\", or \"void\"
};
struct Field {
  const char* record;
  const char* declaration;  // \"type name\"
  std::size_t offset;
};
struct Status {
  int code;
  const char* name;
  const char* subject;
  const char* message;
};

inline constexpr const char* kLegacyExports[] = {
${_legacy_names}};
inline constexpr const char* kApiExports[] = {
${_api_names}};
inline constexpr Entry kEntries[] = {
${_entry_rows}};
inline constexpr Field kFields[] = {
${_field_rows}};
inline constexpr Status kStatuses[] = {
${_status_rows}};

}  // namespace moravel::described

#endif
")

file(CONFIGURE OUTPUT ${MORAVEL_GENERATED_INCLUDE_DIR}/moravel/interface_check.h @ONLY CONTENT
"// ${_notice}
// Compile-time proof that moravel/api.h declares what the description
// says: each function's type (return, argument types and order), each
// status code, each record's size and each field's type and offset.
#ifndef MORAVEL_GENERATED_INTERFACE_CHECK_H
#define MORAVEL_GENERATED_INTERFACE_CHECK_H

#include <cstddef>
#include <type_traits>

#include \"moravel/api.h\"

${_type_checks}
#endif
")

set(MORAVEL_INTERFACE_SOURCES
    ${MORAVEL_GENERATED_DIR}/status_messages.cpp
    ${MORAVEL_GENERATED_DIR}/interface_description.cpp)
