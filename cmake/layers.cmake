# The layers of the code, lowest first. Each is one static library; a layer
# uses only the layers it names (and what they use in turn), and reaches
# upward only through the hooks a higher layer installs. The build links by
# this table, and the layer_edges test checks every #include of src/ against it.
#
#   orv_layer_<name>_dirs  the folders (or file stems) under src/ that make it
#   orv_layer_<name>_uses  the layers below it that it may use directly
set(ORV_LAYERS base object mt io xml properties nls texts page commands window launcher)

set(orv_layer_base_dirs base/)
set(orv_layer_base_uses)
set(orv_layer_object_dirs object/ error/)
set(orv_layer_object_uses base)
set(orv_layer_mt_dirs mt/)
set(orv_layer_mt_uses object)
set(orv_layer_io_dirs io/)
set(orv_layer_io_uses mt)
set(orv_layer_xml_dirs xml/)
set(orv_layer_xml_uses io)
set(orv_layer_properties_dirs properties/)
set(orv_layer_properties_uses io)
set(orv_layer_nls_dirs nls/)
set(orv_layer_nls_uses properties)
set(orv_layer_texts_dirs launcher/texts)
set(orv_layer_texts_uses object)
set(orv_layer_page_dirs launcher/page/)
set(orv_layer_page_uses texts xml nls)
set(orv_layer_commands_dirs launcher/commands/)
set(orv_layer_commands_uses mt)
set(orv_layer_window_dirs launcher/window/)
set(orv_layer_window_uses page commands)
set(orv_layer_launcher_dirs launcher/)
set(orv_layer_launcher_uses window)

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
