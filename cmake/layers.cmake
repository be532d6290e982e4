# The layers, each a folder with one library of its own, and what each may
# use: its includes and its library's links go only to the layers listed for
# it (and to itself). The stand-in uses the plugin's headers, which describe
# the module it loads, but never links the plugin.
set(MOSSGRAIN_LAYERS platform counting report dialog plugin standin)
set(MOSSGRAIN_LAYER_USES_platform "")
set(MOSSGRAIN_LAYER_USES_counting platform)
set(MOSSGRAIN_LAYER_USES_report counting platform)
set(MOSSGRAIN_LAYER_USES_dialog platform)
set(MOSSGRAIN_LAYER_USES_plugin report dialog counting platform)
set(MOSSGRAIN_LAYER_USES_standin plugin report dialog counting platform)

# Marks target as a library of layer; mossgrain_check_layer_links() checks
# its links once every target is defined.
function(mossgrain_layer target layer)
  if(NOT layer IN_LIST MOSSGRAIN_LAYERS)
    message(FATAL_ERROR "${target}: ${layer} is not a layer")
  endif()
  set_target_properties(${target} PROPERTIES MOSSGRAIN_LAYER ${layer})
  set_property(GLOBAL APPEND PROPERTY MOSSGRAIN_LAYER_TARGETS ${target})
endfunction()

# Fails the configuration when a layer's library links a library of a layer
# it may not use.
function(mossgrain_check_layer_links)
  get_property(targets GLOBAL PROPERTY MOSSGRAIN_LAYER_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(layer ${target} MOSSGRAIN_LAYER)
    get_target_property(links ${target} LINK_LIBRARIES)
    if(NOT links)
      continue()
    endif()
    foreach(link IN LISTS links)
      string(REGEX REPLACE "^\\$<TARGET_OBJECTS:(.*)>$" "\\1" link "${link}")
      if(NOT TARGET ${link})
        continue()
      endif()
      get_target_property(other ${link} MOSSGRAIN_LAYER)
      if(other AND NOT other STREQUAL layer AND NOT other IN_LIST MOSSGRAIN_LAYER_USES_${layer})
        message(FATAL_ERROR
          "${target} (layer ${layer}) links ${link} (layer ${other}); "
          "${layer} may use only: ${MOSSGRAIN_LAYER_USES_${layer}}")
      endif()
    endforeach()
  endforeach()
endfunction()
