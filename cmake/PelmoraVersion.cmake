# The project's one version (project() in the top CMakeLists.txt) and where
# it goes: the programs' --version (PELMORA_VERSION through the target
# pelmora_version), build/<tree>/pelmora-version.txt for the scripts (the
# package's name), and a version resource in every Windows file.

add_library(pelmora_version INTERFACE)
target_compile_definitions(pelmora_version INTERFACE PELMORA_VERSION="${PROJECT_VERSION}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/pelmora-version.txt CONTENT "${PROJECT_VERSION}\n")

set(PELMORA_COPYRIGHT "Copyright (C) 2026 The Pelmora developers")

# Gives a Windows program or module a version resource: product "Pelmora",
# the project's version, `description` (Japanese: what users read in the
# file's properties) and the copyright line. Nothing elsewhere.
function(pelmora_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(PELMORA_FILE_TYPE VFT_APP)
  else()
    set(PELMORA_FILE_TYPE VFT_DLL) # the module, whose suffix is its own
  endif()
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(suffix ${target} SUFFIX)
  if(NOT suffix)
    set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
  endif()
  set(PELMORA_INTERNAL_NAME ${name})
  set(PELMORA_FILE_NAME ${name}${suffix})
  set(PELMORA_FILE_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
endfunction()
