# Prints, one a line, the build targets whose tests carry the CTest label LABEL, read from a
# configure trace (cmake --trace-format=json-v1 --trace-expand --trace-redirect=TRACE).
#
#   cmake -DTRACE=<file> -DLABEL=<label> -P labelled-targets.cmake
#
# CTest alone cannot answer this before a build: tests that gtest_discover_tests finds exist
# only once their executable has been built and run. The trace holds the calls that give
# every test its executable and labels, so a build can be limited to the labelled targets.
cmake_minimum_required(VERSION 3.25)

if(NOT TRACE OR NOT LABEL)
  message(FATAL_ERROR "usage: cmake -DTRACE=<trace.json> -DLABEL=<label> -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()

file(STRINGS "${TRACE}" lines
  REGEX "\"cmd\" *: *\"(gtest_discover_tests|gtest_add_tests|add_test|set_tests_properties|set_property)\"")

# The "args" array of the trace record `json` as a CMake list in out_var.
function(json_args json out_var)
  set(values "")
  string(JSON count LENGTH "${json}" args)
  if(count GREATER 0)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON value GET "${json}" args ${i})
      # Keep a value that is itself a list (labels "a;b") as one element.
      string(REPLACE ";" "\\;" value "${value}")
      list(APPEND values "${value}")
    endforeach()
  endif()
  set(${out_var} "${values}" PARENT_SCOPE)
endfunction()

# True in out_var when the ;-list `labels` holds LABEL.
function(has_label labels out_var)
  set(found FALSE)
  string(REPLACE "\\;" ";" labels "${labels}")  # one value may itself hold several labels
  foreach(l IN LISTS labels)
    if(l STREQUAL LABEL)
      set(found TRUE)
    endif()
  endforeach()
  set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# True in out_var when the <key> <value> pairs after index `at` (the PROPERTIES keyword) of
# `args` set LABELS to a list holding LABEL.
function(labelled_properties args at out_var)
  set(found FALSE)
  list(LENGTH args nargs)
  math(EXPR i "${at} + 1")
  math(EXPR j "${at} + 2")
  while(j LESS nargs)
    list(GET args ${i} key)
    if(key STREQUAL "LABELS")
      list(GET args ${j} value)
      has_label("${value}" found)
    endif()
    math(EXPR i "${i} + 2")
    math(EXPR j "${j} + 2")
  endwhile()
  set(${out_var} ${found} PARENT_SCOPE)
endfunction()

# The target behind a test command: a target name, $<TARGET_FILE:t>, or a path ending in t.
function(command_target command out_var)
  if(command MATCHES "^\\$<TARGET_FILE:([^>]+)>$")
    set(command "${CMAKE_MATCH_1}")
  endif()
  get_filename_component(name "${command}" NAME)
  set(${out_var} "${name}" PARENT_SCOPE)
endfunction()

set(targets "")
set(labelled_tests "")
foreach(line IN LISTS lines)
  string(JSON cmd GET "${line}" cmd)
  json_args("${line}" args)

  if(cmd STREQUAL "gtest_discover_tests" OR cmd STREQUAL "gtest_add_tests")
    # gtest_discover_tests(<target> ... PROPERTIES LABELS <labels> ...)
    list(GET args 0 target)
    list(FIND args PROPERTIES at)
    if(at GREATER -1)
      labelled_properties("${args}" ${at} found)
      if(found)
        list(APPEND targets "${target}")
      endif()
    endif()

  elseif(cmd STREQUAL "add_test")
    # add_test(NAME <name> COMMAND <command> ...) or add_test(<name> <command> ...)
    list(GET args 0 first)
    if(first STREQUAL "NAME")
      list(GET args 1 name)
      list(FIND args COMMAND at)
      math(EXPR at "${at} + 1")
      list(GET args ${at} command)
    else()
      set(name "${first}")
      list(GET args 1 command)
    endif()
    command_target("${command}" target)
    set("command_of_${name}" "${target}")

  elseif(cmd STREQUAL "set_tests_properties")
    # set_tests_properties(<tests>... PROPERTIES LABELS <labels> ...)
    list(FIND args PROPERTIES at)
    if(at GREATER 0)
      labelled_properties("${args}" ${at} found)
      if(found)
        list(SUBLIST args 0 ${at} tests)
        list(APPEND labelled_tests ${tests})
      endif()
    endif()

  elseif(cmd STREQUAL "set_property")
    # set_property(TEST <tests>... [APPEND] PROPERTY LABELS <labels>...)
    list(GET args 0 scope)
    list(FIND args PROPERTY at)
    if(scope STREQUAL "TEST" AND at GREATER 0)
      math(EXPR k "${at} + 1")
      list(GET args ${k} property)
      if(property STREQUAL "LABELS")
        math(EXPR v "${k} + 1")
        list(SUBLIST args ${v} -1 value)
        has_label("${value}" found)
        if(found)
          math(EXPR n "${at} - 1")
          list(SUBLIST args 1 ${n} tests)
          list(REMOVE_ITEM tests APPEND APPEND_STRING)
          list(APPEND labelled_tests ${tests})
        endif()
      endif()
    endif()
  endif()
endforeach()

foreach(test IN LISTS labelled_tests)
  if(DEFINED "command_of_${test}")
    list(APPEND targets "${command_of_${test}}")
  endif()
endforeach()

list(REMOVE_DUPLICATES targets)
foreach(t IN LISTS targets)
  # Standard output, not message(): message() writes to standard error.
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${t}")
endforeach()
