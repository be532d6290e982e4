# The module's file name, decided here only. The Windows file manager tells a
# packer module's bitness by its name: NAME.wcx is a 32-bit module and
# NAME.wcx64 a 64-bit one, and each of its two editions loads only its own
# kind. Hosts on other systems load NAME.wcx whatever the bitness.
# Sets <out> to the name for a build for Windows (or not) of <bits> bits.
function(mossgrain_module_file out windows bits)
  if(windows AND bits EQUAL 64)
    set(${out} Mossgrain.wcx64 PARENT_SCOPE)
  else()
    set(${out} Mossgrain.wcx PARENT_SCOPE)
  endif()
endfunction()
