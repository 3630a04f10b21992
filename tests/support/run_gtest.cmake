# cmake -DPROGRAM=<test program> [-DLAUNCHER=<command>|<argument>|...] -P run_gtest.cmake
# Runs a GoogleTest program and fails unless it exits with 0 and printed its
# summary line: a program that never started (Wine prints nothing and exits 0
# then) or died half way counts as failed.
string(REPLACE "|" ";" launcher "${LAUNCHER}")
execute_process(COMMAND ${launcher} ${PROGRAM} --gtest_brief=1
                RESULT_VARIABLE status
                OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
message("${output}")
if(NOT output MATCHES "\\[==========\\] [0-9]+ tests? from")
    message(FATAL_ERROR "no summary line (exit status ${status})")
endif()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}")
endif()
