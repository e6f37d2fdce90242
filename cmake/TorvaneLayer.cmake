# torvane_add_layer(NAME SOURCES... [BELOW layers...]): one layer of the core as a static
# library that links only the layers below it, so an include that points upward fails to link.
function(torvane_add_layer name)
  cmake_parse_arguments(ARG "" "" "BELOW" ${ARGN})
  add_library(torvane_${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
  add_library(torvane::${name} ALIAS torvane_${name})
  target_include_directories(torvane_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_features(torvane_${name} PUBLIC cxx_std_20)
  target_compile_options(torvane_${name} PRIVATE -Wall -Wextra -Wpedantic)
  foreach(below IN LISTS ARG_BELOW)
    target_link_libraries(torvane_${name} PUBLIC torvane::${below})
  endforeach()
endfunction()
