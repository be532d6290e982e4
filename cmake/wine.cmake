# The environment of the tests that run under Wine: cmake/wine.env, and the
# build's own prefix (made by make_wine_prefix in scripts/lib/common.sh).
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/wine.env MOSSGRAIN_WINE_ENVIRONMENT REGEX "^[A-Z]+=")
list(APPEND MOSSGRAIN_WINE_ENVIRONMENT WINEPREFIX=${PROJECT_BINARY_DIR}/wineprefix)

# Gives every test defined so far in the calling folder that environment.
function(mossgrain_run_tests_under_wine)
  get_property(tests DIRECTORY PROPERTY TESTS)
  if(tests)
    set_tests_properties(${tests} PROPERTIES ENVIRONMENT "${MOSSGRAIN_WINE_ENVIRONMENT}")
  endif()
endfunction()
