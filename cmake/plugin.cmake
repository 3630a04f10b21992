# Plug-in libraries and the programs that load them.
#
# A plug-in library is built on its host program's runtime, not on a copy of it:
# one object manager, one Error type, one heap, one C++ runtime. What it keeps to
# itself is its module state: its module lock, its registration list and its
# start-up list (src/object/this_module.cpp and plugin_entry.cpp, compiled into
# every plug-in).
# - ELF: the host exports its symbols; the plug-in leaves the runtime's functions
#   undefined, to be bound to the host's when it is loaded, and keeps what it
#   defines itself hidden, so its module state and its copies of inline code are
#   never bound to the host's (nor the host's to its own).
# - Windows: the host exports its symbols with an import library that the
#   plug-in links against, so a plug-in is built for one host program. Host and
#   plug-ins share the C++ runtime as DLLs beside the host (libstdc++, libgcc's
#   unwinder, winpthreads): with a runtime in each module, an exception thrown in
#   a plug-in ends the process on i686 (each module unwinds only its own frames)
#   and leaves the host's count of uncaught exceptions wrong on x86_64.

#
# The same file builds plug-ins outside this tree, against the authoring kit:
# its CMake package (OrvellaAutorunConfig.cmake) sets ORV_PLUGIN_SDK, the
# headers' folder ORV_PLUGIN_INCLUDE_DIR and the namespace of its imported host
# programs ORV_PLUGIN_HOST_NAMESPACE before it includes this file.

if(NOT ORV_PLUGIN_SDK)
    set(ORV_PLUGIN_INCLUDE_DIR ${CMAKE_CURRENT_LIST_DIR}/../src)
endif()
set(ORV_PLUGIN_TEMPLATE_DIR ${CMAKE_CURRENT_LIST_DIR})
# The program a Windows plug-in is linked for when it names none; a plug-in
# built for autorun-page serves its --visibility and --check under Windows.
set(ORV_PLUGIN_HOST autorun CACHE STRING "The host program of Windows plug-ins that name none")

if(WIN32)
    enable_language(RC)
endif()
if(WIN32 AND NOT ORV_PLUGIN_SDK)
    # Every other program carries its own C++ runtime.
    add_link_options(
        "$<$<NOT:$<BOOL:$<TARGET_PROPERTY:ORV_SHARED_RUNTIME>>>:-static;-static-libgcc;-static-libstdc++>")
    set(ORV_SHARED_RUNTIME_DLLS "")
    foreach(dll libstdc++-6.dll libgcc_s_dw2-1.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                        OUTPUT_VARIABLE file OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(IS_ABSOLUTE "${file}" AND EXISTS "${file}")
            list(APPEND ORV_SHARED_RUNTIME_DLLS "${file}")
        endif()
    endforeach()
endif()

# orv_plugin_host(<program>): the program can load plug-in libraries. On Windows
# the shared C++ runtime is copied beside it, stripped and marked to run from
# swap as the files of a medium are (run_from_swap.cmake).
function(orv_plugin_host program)
    set_target_properties(${program} PROPERTIES ENABLE_EXPORTS ON)
    if(WIN32)
        set_target_properties(${program} PROPERTIES ORV_SHARED_RUNTIME ON)
        target_link_options(${program} PRIVATE -shared-libgcc -Wl,--export-all-symbols)
        set(commands "")
        set(copies "")
        foreach(dll IN LISTS ORV_SHARED_RUNTIME_DLLS)
            get_filename_component(name ${dll} NAME)
            set(copy $<TARGET_FILE_DIR:${program}>/${name})
            orv_split_debug_commands(split ${copy})
            list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy ${dll} ${copy} ${split})
            list(APPEND copies ${copy})
        endforeach()
        add_custom_command(TARGET ${program} POST_BUILD ${commands}
                           COMMAND ${ORV_RUN_FROM_SWAP} ${copies} VERBATIM)
    endif()
endfunction()

# orv_add_plugin(<name> [HOST <program>] [ORIGINAL_FILENAME <file name>]
#                [CLASS_FACTORY <value>] [NO_ENTRY_POINTS] <sources>...)
# A plug-in library <name>.dll or <name>.so from component sources that register their factories with
# Object::FactoryRegistration. It carries its version strings ("InfraClassFactory"
# CLASS_FACTORY, default "1"; "OriginalFilename", default the file's name) in a
# version resource or an ELF section, and exports the runtime's entry points
# (NO_ENTRY_POINTS leaves them out: a file the loader must refuse). On Windows it
# is linked for the HOST program (default: ORV_PLUGIN_HOST, the launcher), which its
# version strings name ("HostProgram"): another program refuses it without
# loading it. A shared object is bound to whichever host loads it.
function(orv_add_plugin name)
    cmake_parse_arguments(PARSE_ARGV 1 PLUGIN "NO_ENTRY_POINTS" "HOST;ORIGINAL_FILENAME;CLASS_FACTORY"
                          "")
    if(NOT PLUGIN_HOST)
        set(PLUGIN_HOST ${ORV_PLUGIN_HOST})
    endif()
    set(PLUGIN_HOST ${ORV_PLUGIN_HOST_NAMESPACE}${PLUGIN_HOST})
    if(NOT DEFINED PLUGIN_CLASS_FACTORY)
        set(PLUGIN_CLASS_FACTORY 1)
    endif()
    if(NOT DEFINED PLUGIN_ORIGINAL_FILENAME)
        set(PLUGIN_ORIGINAL_FILENAME "$<TARGET_FILE_NAME:${name}>")
    endif()
    set(object_dir ${ORV_PLUGIN_INCLUDE_DIR}/object)
    add_library(${name} MODULE ${PLUGIN_UNPARSED_ARGUMENTS} ${object_dir}/this_module.cpp)
    if(NOT PLUGIN_NO_ENTRY_POINTS)
        target_sources(${name} PRIVATE ${object_dir}/plugin_entry.cpp)
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "")
    target_include_directories(${name} PRIVATE ${ORV_PLUGIN_INCLUDE_DIR})
    if(ORV_PLUGIN_SDK)
        # Compiled as the runtime it binds to (this tree's CMakeLists.txt).
        target_compile_features(${name} PRIVATE cxx_std_20)
        if(WIN32)
            target_compile_definitions(${name} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                                                       NOMINMAX _WIN32_WINNT=0x0601)
        endif()
    endif()

    if(WIN32)
        target_link_libraries(${name} PRIVATE ${PLUGIN_HOST})
        set(PLUGIN_HOST_FILE "$<TARGET_FILE_NAME:${PLUGIN_HOST}>")
        set(template ${ORV_PLUGIN_TEMPLATE_DIR}/plugin_version.rc.in)
        set(version_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.rc)
        set_target_properties(${name} PROPERTIES ORV_SHARED_RUNTIME ON)
        target_link_options(${name} PRIVATE -shared-libgcc)
    else()
        set(template ${ORV_PLUGIN_TEMPLATE_DIR}/plugin_version_section.cpp.in)
        set(version_source ${CMAKE_CURRENT_BINARY_DIR}/${name}_version.cpp)
        target_compile_options(${name} PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden
                                               $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
    endif()
    # Plug-ins go onto media.
    orv_run_from_swap(${name})
    file(READ ${template} content)
    string(CONFIGURE "${content}" content @ONLY)
    file(GENERATE OUTPUT ${version_source} CONTENT "${content}")
    set_source_files_properties(${version_source} PROPERTIES GENERATED TRUE)
    target_sources(${name} PRIVATE ${version_source})
endfunction()
