# Windows executables and DLLs that go onto a medium are marked to run from
# the swap file when started from removable media or the network
# (run_from_swap.py beside this file): the system copies them whole before it
# runs them, so a disc ejected or swapped while the menu is open is never
# paged from. GNU ld has no option for the flags, so they are set after the
# link.
if(WIN32)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    set(ORV_RUN_FROM_SWAP ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/run_from_swap.py)
endif()

# orv_run_from_swap(<target>): marks the target's file once it is linked.
function(orv_run_from_swap target)
    if(WIN32)
        add_custom_command(TARGET ${target} POST_BUILD
                           COMMAND ${ORV_RUN_FROM_SWAP} $<TARGET_FILE:${target}> VERBATIM)
    endif()
endfunction()
