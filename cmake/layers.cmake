# The layers of the code, lowest first. Each is one CMake object library
# (orv_<name>); a layer uses only the layers it names (and what they use in
# turn), and reaches upward only through the hooks a higher layer installs.
# The build links by this table, and the layer_edges test checks every
# #include of src/ against it.
#
#   orv_layer_<name>_dirs  the folders (or file stems) of the checkout that make it
#   orv_layer_<name>_uses  the layers below it that it may use directly
set(ORV_LAYERS base object mt io xml properties nls texts page commands window launcher)

set(orv_layer_base_dirs src/base/)
set(orv_layer_base_uses)
set(orv_layer_object_dirs src/object/ src/error/)
set(orv_layer_object_uses base)
set(orv_layer_mt_dirs src/mt/)
set(orv_layer_mt_uses object)
set(orv_layer_io_dirs src/io/)
set(orv_layer_io_uses mt)
set(orv_layer_xml_dirs src/xml/)
set(orv_layer_xml_uses io)
set(orv_layer_properties_dirs src/properties/)
set(orv_layer_properties_uses io)
set(orv_layer_nls_dirs src/nls/)
set(orv_layer_nls_uses properties)
set(orv_layer_texts_dirs src/launcher/texts)
set(orv_layer_texts_uses object)
set(orv_layer_page_dirs src/launcher/page/)
set(orv_layer_page_uses texts xml nls)
set(orv_layer_commands_dirs src/launcher/commands/)
set(orv_layer_commands_uses mt)
set(orv_layer_window_dirs src/launcher/window/)
set(orv_layer_window_uses page commands)
set(orv_layer_launcher_dirs src/launcher/)
set(orv_layer_launcher_uses window)

# The code outside src/ that builds on the layers: no libraries, used by
# nothing, held to the table all the same (the layer_edges test checks their
# includes of src/ too). The page tool and the page extensions run without
# window code; a program links the layers its row names, or fewer.
set(ORV_LAYER_USERS page_tool preview_tool plugins fuzz bench)

set(orv_layer_page_tool_dirs tools/autorun-page/)
set(orv_layer_page_tool_uses page commands)
set(orv_layer_preview_tool_dirs tools/autorun-preview/)
set(orv_layer_preview_tool_uses window)
set(orv_layer_plugins_dirs examples/plugins/ plugins/)
set(orv_layer_plugins_uses page commands)
set(orv_layer_fuzz_dirs fuzz/)
set(orv_layer_fuzz_uses page commands)
set(orv_layer_bench_dirs bench/)
set(orv_layer_bench_uses page commands)

# orv_layer_closure(<out> <layer>): the layer and every layer it may reach.
function(orv_layer_closure out layer)
    set(reach ${layer})
    foreach(used IN LISTS orv_layer_${layer}_uses)
        orv_layer_closure(below ${used})
        list(APPEND reach ${below})
    endforeach()
    list(REMOVE_DUPLICATES reach)
    set(${out} ${reach} PARENT_SCOPE)
endfunction()
