# Layers: each folder of src/ is a library that sees only its own headers and
# those of the layers it links. A layer's headers are offered through a folder
# of links in the build tree holding that layer alone, so an include that
# points up or sideways finds no file and the build stops there.
#
#   platform <- settings, compare <- control <- deploy, package, agent <- ui <- ui/win32
#
# qv_layer(<name> <folder> [SOURCES ...] [USES <layers> ...] [SYSTEM_LIBS ...])
function(qv_layer name folder)
  cmake_parse_arguments(L "" "" "SOURCES;USES;SYSTEM_LIBS" ${ARGN})
  set(inc ${CMAKE_BINARY_DIR}/layers/${name})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  file(MAKE_DIRECTORY ${inc}/${folder})
  # Links left by a header that was removed or renamed would keep it visible.
  file(GLOB stale ${inc}/${folder}/*.h)
  foreach(s ${stale})
    get_filename_component(n ${s} NAME)
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/src/${folder}/${n})
      file(REMOVE ${s})
    endif()
  endforeach()
  foreach(h ${headers})
    get_filename_component(n ${h} NAME)
    file(CREATE_LINK ${h} ${inc}/${folder}/${n} SYMBOLIC COPY_ON_ERROR)
  endforeach()
  if(L_SOURCES)
    add_library(qv_${name} STATIC ${L_SOURCES})
    target_include_directories(qv_${name} PUBLIC ${inc})
    foreach(u ${L_USES})
      target_link_libraries(qv_${name} PUBLIC qv_${u})
    endforeach()
    if(L_SYSTEM_LIBS)
      target_link_libraries(qv_${name} PUBLIC ${L_SYSTEM_LIBS})
    endif()
  else()
    add_library(qv_${name} INTERFACE)
    target_include_directories(qv_${name} INTERFACE ${inc})
    foreach(u ${L_USES})
      target_link_libraries(qv_${name} INTERFACE qv_${u})
    endforeach()
  endif()
endfunction()
