# Checks that every quoted include under src/ points down the layer order:
# a file may include its own folder and folders of lower layers only. A
# folder missing from the list fails the check too, so a new folder is
# placed in the order before it is used. There is no exception list.
#
#   cmake -DSRC=path/to/src [-DGRAPH=ON] -P tools/check_layers.cmake
#
# GRAPH=ON prints the folder edges ("from -> to", with the include count).

# Lowest first; folders joined by "|" share a layer and may not include
# each other. "." is the composition root (src/main.cpp).
set(layers
  "core"
  "text"
  "page"
  "platform"
  "platform/fake"
  "state"
  "dialogs"
  "subtitles"
  "playback"
  "style"
  "scripting/objects"
  "scripting/js|scripting/vbscript"
  "scripting"
  "app"
  "qt"
  "."
)

if(NOT SRC)
  message(FATAL_ERROR "usage: cmake -DSRC=<src folder> -P check_layers.cmake")
endif()

set(rank 0)
foreach(layer IN LISTS layers)
  string(REPLACE "|" ";" folders "${layer}")
  foreach(folder IN LISTS folders)
    string(MAKE_C_IDENTIFIER "${folder}" id)
    set(rank_${id} ${rank})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

function(folder_rank folder out)
  string(MAKE_C_IDENTIFIER "${folder}" id)
  if(DEFINED rank_${id})
    set(${out} ${rank_${id}} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
list(SORT sources)
set(failures 0)
set(edges "")
foreach(source IN LISTS sources)
  get_filename_component(from "${source}" DIRECTORY)
  if(from STREQUAL "")
    set(from ".")
  endif()
  folder_rank("${from}" from_rank)
  if(from_rank STREQUAL "")
    message(SEND_ERROR "${source}: folder \"${from}\" has no place in the layer order")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
    get_filename_component(to "${target}" DIRECTORY)
    if(to STREQUAL "")
      message(SEND_ERROR "${source}: include \"${target}\" names no folder; includes are written from src/")
      math(EXPR failures "${failures} + 1")
      continue()
    endif()
    if(to STREQUAL from)
      continue()
    endif()
    list(APPEND edges "${from} -> ${to}")
    folder_rank("${to}" to_rank)
    if(to_rank STREQUAL "")
      message(SEND_ERROR "${source}: includes \"${target}\" from folder \"${to}\", which has no place in the layer order")
      math(EXPR failures "${failures} + 1")
    elseif(NOT to_rank LESS from_rank)
      message(SEND_ERROR "${source}: includes \"${target}\": ${from} may not use ${to}, which is not below it")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()

if(GRAPH)
  set(unique ${edges})
  list(REMOVE_DUPLICATES unique)
  list(SORT unique)
  foreach(edge IN LISTS unique)
    set(all ${edges})
    list(FILTER all INCLUDE REGEX "^${edge}$")
    list(LENGTH all count)
    message("${edge} (${count})")
  endforeach()
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} include(s) against the layer order")
endif()
list(LENGTH sources checked)
message(STATUS "include layers: ${checked} files follow the layer order")
