# Layers held by the build. Each layer is a static library whose sources
# compile against an include root of its own, made in the build tree: a
# folder holding a link to each source folder the layer may include from (its
# own and those of the layers it links) and nothing else. A header of a layer
# above is simply not there, so an upward include fails to compile, not only
# to link. tests/layering/check_layers.py checks what this cannot see:
# includes written relative to the including file, and toolkit headers.

# pelmora_include_root(<target> <folder>...)
#   <target> and whatever links it include through a root that shows exactly
#   the given folders of the source tree.
function(pelmora_include_root target)
  set(root ${PROJECT_BINARY_DIR}/include-roots/${target})
  file(MAKE_DIRECTORY ${root})
  # Links an earlier configuration made that no longer apply go (file(REMOVE)
  # removes a link, never what it points to).
  file(GLOB present LIST_DIRECTORIES true RELATIVE ${root} ${root}/*)
  foreach(entry IN LISTS present)
    if(NOT entry IN_LIST ARGN)
      file(REMOVE ${root}/${entry})
    endif()
  endforeach()
  foreach(folder IN LISTS ARGN)
    if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder})
      message(FATAL_ERROR "pelmora_include_root(${target}): no folder ${folder}/ in the source tree")
    endif()
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  set_property(TARGET ${target} PROPERTY PELMORA_FOLDERS ${ARGN})
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# pelmora_layer(<target> <folder> [<lower layer>...])
#   Makes the library <target> the layer of <folder>: it links the given lower
#   layers and sees their folders and its own, nothing more.
function(pelmora_layer target folder)
  set(folders)
  foreach(lower IN LISTS ARGN)
    get_target_property(lower_folders ${lower} PELMORA_FOLDERS)
    if(NOT lower_folders)
      message(FATAL_ERROR "pelmora_layer(${target}): ${lower} is not a layer defined before it")
    endif()
    list(APPEND folders ${lower_folders})
  endforeach()
  list(APPEND folders ${folder})
  list(REMOVE_DUPLICATES folders)
  pelmora_include_root(${target} ${folders})
  target_link_libraries(${target} PUBLIC ${ARGN})
endfunction()
