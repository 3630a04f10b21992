# The plug-ins that go onto a medium, into its rsc/plugins/ folder, for
# scripts/make-medium.sh: the target medium-plugins builds them and lists
# their files, one a line, in medium-plugins.txt of the build folder.

# orv_medium_plugin(<target>): a plug-in library that media carry.
function(orv_medium_plugin target)
    set_property(GLOBAL APPEND PROPERTY ORV_MEDIUM_PLUGINS ${target})
endfunction()

function(orv_write_medium_plugins)
    get_property(plugins GLOBAL PROPERTY ORV_MEDIUM_PLUGINS)
    set(files "")
    foreach(plugin IN LISTS plugins)
        string(APPEND files "$<TARGET_FILE:${plugin}>\n")
    endforeach()
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/medium-plugins.txt CONTENT "${files}")
    add_custom_target(medium-plugins)
    if(plugins)
        add_dependencies(medium-plugins ${plugins})
    endif()
endfunction()

# Once every target of the tree is known.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL orv_write_medium_plugins)
