# The executables and libraries that go onto a medium or into the authoring
# kit carry no debugging sections: a start from a disc reads every byte of a
# Windows file that runs from swap (below), and most of the toolchain's
# runtime DLLs is debugging information. Each file's debugging information
# and symbols go to <file>.debug beside it, which the file names in its debug
# link (.gnu_debuglink, with the debug file's checksum), so that debuggers and
# addr2line still read a crash's addresses; the kit carries the debug files in
# symbols/.
#
# Windows executables and DLLs that go onto a medium are also marked to run
# from the swap file when started from removable media or the network
# (run_from_swap.py beside this file): the system copies them whole before it
# runs them, so a disc ejected or swapped while the menu is open is never
# paged from. GNU ld has no option for the flags, so they are set after the
# link, after the stripping (objcopy writes a new header); the header's
# checksum is computed again.
if(WIN32)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(ORV_RUN_FROM_SWAP ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/run_from_swap.py)
endif()
if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy of the toolchain not found: it takes the debugging sections out of"
                        " what goes onto a medium")
endif()

# orv_split_debug_commands(<variable> <file>): the commands that move the
# file's debugging information to <file>.debug and leave the debug link.
function(orv_split_debug_commands variable file)
    set(${variable}
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-unneeded --add-gnu-debuglink=${file}.debug ${file}
        PARENT_SCOPE)
endfunction()

# orv_strip_debug(<target>): the target's file without debugging sections once
# it is linked, its debugging information in <file>.debug beside it.
function(orv_strip_debug target)
    orv_split_debug_commands(commands $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD ${commands} VERBATIM)
endfunction()

# orv_run_from_swap(<target>): a file of a medium: stripped as orv_strip_debug
# does, then marked.
function(orv_run_from_swap target)
    orv_strip_debug(${target})
    if(WIN32)
        add_custom_command(TARGET ${target} POST_BUILD
                           COMMAND ${ORV_RUN_FROM_SWAP} $<TARGET_FILE:${target}> VERBATIM)
    endif()
endfunction()
