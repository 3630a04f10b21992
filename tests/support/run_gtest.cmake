# cmake -DPROGRAM=<test program> [-DLAUNCHER=<command>|<argument>|...] -P run_gtest.cmake
# Runs a GoogleTest program and fails unless it exits with 0 and printed its
# summary line: a program that never started (Wine prints nothing and exits 0
# then) or died half way counts as failed. The output goes through a file, not
# a pipe: processes the program leaves behind (Wine's services) would hold a
# pipe open for good.
string(REPLACE "|" ";" launcher "${LAUNCHER}")
set(log "${PROGRAM}.output.txt")
execute_process(COMMAND ${launcher} ${PROGRAM} --gtest_brief=1
                RESULT_VARIABLE status
                OUTPUT_FILE "${log}"
                ERROR_FILE "${log}")
file(READ "${log}" output)
message("${output}")
if(NOT output MATCHES "\\[==========\\] [0-9]+ tests? from")
    message(FATAL_ERROR "no summary line (exit status ${status})")
endif()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "exit status ${status}")
endif()
