# Windows programs we ship carry a version resource with the project's version
# (Stats.dll has its own in stats/resources/stats.rc).
function(add_version_resource target description)
  if(NOT WIN32 OR NOT TARGET ${target})
    return()
  endif()
  set(version_name ${target})
  set(version_description "${description}")
  set(rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
