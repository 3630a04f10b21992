# cmake --install: this build's part of the authoring kit (scripts/kit.sh
# installs every build into one folder and packs it; README "The authoring
# kit" shows the layout). Every build installs the SDK, the demo medium, the
# medium maker and the authoring document; each system its own folder:
#   linux/                   autorun, autorun-page, autorun-preview, plugins/
#   windows-<processor>/     autorun.exe, autorun-page.exe, the C++ runtime
#                            DLLs they share with their plug-ins, plugins/
#   sdk/lib/windows-<processor>/  the launcher's and the page tool's import
#                            libraries, which Windows plug-ins link against
#   symbols/<system>/        the debugging information of the system's folder,
#                            whose files carry none: <file>.debug for each, in
#                            the same layout (cmake/run_from_swap.cmake)
include(CMakePackageConfigHelpers)

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(ORV_KIT_SYSTEM windows-i686)
    else()
        set(ORV_KIT_SYSTEM windows-x86_64)
    endif()
else()
    set(ORV_KIT_SYSTEM linux)
endif()

# The headers a plug-in may use: those of the layers the page extensions' row
# of cmake/layers.cmake reaches (no window code), and the two sources
# orv_add_plugin compiles into every plug-in.
set(sdk_layers "")
foreach(layer IN LISTS orv_layer_plugins_uses)
    orv_layer_closure(reach ${layer})
    list(APPEND sdk_layers ${reach})
endforeach()
list(REMOVE_DUPLICATES sdk_layers)
foreach(layer IN LISTS sdk_layers)
    foreach(dir IN LISTS orv_layer_${layer}_dirs)
        string(REGEX REPLACE "^src/" "" relative ${dir})
        if(dir MATCHES "/$")
            install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir} DESTINATION sdk/include/${relative}
                    FILES_MATCHING PATTERN "*.h")
        else()
            # A layer of one file stem.
            get_filename_component(folder ${relative} DIRECTORY)
            install(FILES ${PROJECT_SOURCE_DIR}/${dir}.h DESTINATION sdk/include/${folder})
        endif()
    endforeach()
endforeach()
install(FILES src/object/this_module.cpp src/object/plugin_entry.cpp DESTINATION sdk/include/object)

# The CMake package: find_package(OrvellaAutorun) gives orv_add_plugin. One
# package serves gcc and both mingw-w64 toolchains, whatever their word size.
set(package_dir sdk/lib/cmake/OrvellaAutorun)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/OrvellaAutorunConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion
                                 ARCH_INDEPENDENT)
install(FILES cmake/sdk/OrvellaAutorunConfig.cmake
              ${CMAKE_BINARY_DIR}/OrvellaAutorunConfigVersion.cmake
              cmake/plugin.cmake cmake/plugin_version.rc.in cmake/plugin_version_section.cpp.in
              cmake/run_from_swap.cmake cmake/run_from_swap.py
        DESTINATION ${package_dir})
install(FILES cmake/mingw-i686.cmake cmake/mingw-x86_64.cmake cmake/debian11.cmake
        DESTINATION sdk/toolchains)

install(DIRECTORY examples/medium/ DESTINATION demo USE_SOURCE_PERMISSIONS)
# The medium maker, which in the kit takes the kit's launchers and plug-ins.
install(PROGRAMS scripts/make-medium.sh DESTINATION scripts)
# What builds Linux plug-ins to the launcher's floor: the Debian 11 root for
# sdk/toolchains/debian11.cmake, and the reader of a file's C library needs.
install(PROGRAMS scripts/debian11-root.sh scripts/glibc-floor.sh DESTINATION scripts)
install(FILES scripts/lib.sh DESTINATION scripts)

# The authoring sections of README.md, from the page tool up to the layout of
# the tree, as a document of their own.
file(READ ${PROJECT_SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "\n## The page tool\n" first)
string(FIND "${readme}" "\n## Layout\n" last)
math(EXPR length "${last} - ${first}")
string(SUBSTRING "${readme}" ${first} ${length} authoring)
file(WRITE ${CMAKE_BINARY_DIR}/AUTHORING.md "# Orvella Autorun: authoring media\n${authoring}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
install(FILES ${CMAKE_BINARY_DIR}/AUTHORING.md DESTINATION .)

# orv_install_symbols(<folder> <target>...): the targets' debug files.
function(orv_install_symbols folder)
    foreach(target IN LISTS ARGN)
        install(FILES $<TARGET_FILE:${target}>.debug DESTINATION symbols/${folder})
    endforeach()
endfunction()

set(programs autorun-page)
if(TARGET autorun)
    install(TARGETS autorun RUNTIME DESTINATION ${ORV_KIT_SYSTEM}
                            ARCHIVE DESTINATION sdk/lib/${ORV_KIT_SYSTEM})
    list(APPEND programs autorun)
endif()
install(TARGETS autorun-page RUNTIME DESTINATION ${ORV_KIT_SYSTEM}
                             ARCHIVE DESTINATION sdk/lib/${ORV_KIT_SYSTEM})
if(TARGET autorun-preview)
    install(TARGETS autorun-preview RUNTIME DESTINATION ${ORV_KIT_SYSTEM})
    list(APPEND programs autorun-preview)
endif()
orv_install_symbols(${ORV_KIT_SYSTEM} ${programs})
if(WIN32)
    # The copies beside the page tool, stripped and marked to run from swap.
    foreach(dll IN LISTS ORV_SHARED_RUNTIME_DLLS)
        get_filename_component(name ${dll} NAME)
        install(FILES $<TARGET_FILE_DIR:autorun-page>/${name} DESTINATION ${ORV_KIT_SYSTEM})
        install(FILES $<TARGET_FILE_DIR:autorun-page>/${name}.debug
                DESTINATION symbols/${ORV_KIT_SYSTEM})
    endforeach()
endif()

# The plug-ins media carry (orv_medium_plugin), once every target is known.
function(orv_install_medium_plugins)
    get_property(plugins GLOBAL PROPERTY ORV_MEDIUM_PLUGINS)
    if(plugins)
        install(TARGETS ${plugins} LIBRARY DESTINATION ${ORV_KIT_SYSTEM}/plugins)
        orv_install_symbols(${ORV_KIT_SYSTEM}/plugins ${plugins})
    endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orv_install_medium_plugins)
