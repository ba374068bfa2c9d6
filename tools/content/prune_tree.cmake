# Removes from the runtime content tree every file that no longer comes from
# a source (a deleted or renamed SVG, scene or sound), so the archive packs
# only what the sources make. Keeps the listed outputs and the sheets beside
# atlas collections and fonts ("<stem>_<n>.png").
#   cmake -DTREE=<folder> -DLIST=<file of outputs, one a line> -P prune_tree.cmake
cmake_minimum_required(VERSION 3.16)
file(STRINGS ${LIST} outputs)
file(GLOB_RECURSE present ${TREE}/*)
foreach(path ${present})
  if(path IN_LIST outputs)
    continue()
  endif()
  if(path MATCHES "^(.*)_[0-9]+\\.png$")
    set(stem ${CMAKE_MATCH_1})
    if("${stem}.xml" IN_LIST outputs OR "${stem}.ofnt" IN_LIST outputs)
      continue()
    endif()
  endif()
  message(STATUS "Removing ${path}, which no source makes any more")
  file(REMOVE ${path})
endforeach()
