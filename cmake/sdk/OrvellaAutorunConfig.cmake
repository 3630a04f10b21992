# The authoring kit's SDK for plug-in libraries built outside the launcher's
# tree: find_package(OrvellaAutorun) gives orv_add_plugin (plugin.cmake beside
# this file), the headers of sdk/include and, on Windows, the programs a
# plug-in is linked for as OrvellaAutorun::autorun and
# OrvellaAutorun::autorun-page, with their import libraries from
# sdk/lib/windows-<processor>/.
get_filename_component(_orv_sdk ${CMAKE_CURRENT_LIST_DIR}/../../.. ABSOLUTE)
set(ORV_PLUGIN_SDK ON)
set(ORV_PLUGIN_INCLUDE_DIR ${_orv_sdk}/include)
set(ORV_PLUGIN_HOST_NAMESPACE OrvellaAutorun::)

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(_orv_system windows-i686)
    else()
        set(_orv_system windows-x86_64)
    endif()
    foreach(_orv_program autorun autorun-page)
        set(_orv_implib ${_orv_sdk}/lib/${_orv_system}/lib${_orv_program}.dll.a)
        if(NOT EXISTS ${_orv_implib})
            set(OrvellaAutorun_FOUND FALSE)
            set(OrvellaAutorun_NOT_FOUND_MESSAGE
                "the kit has no ${_orv_system} programs: ${_orv_implib} is missing")
            return()
        endif()
        if(NOT TARGET OrvellaAutorun::${_orv_program})
            add_executable(OrvellaAutorun::${_orv_program} IMPORTED)
            set_target_properties(OrvellaAutorun::${_orv_program} PROPERTIES
                ENABLE_EXPORTS ON
                IMPORTED_IMPLIB ${_orv_implib}
                IMPORTED_LOCATION ${_orv_sdk}/../${_orv_system}/${_orv_program}.exe)
        endif()
    endforeach()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/run_from_swap.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/plugin.cmake)
