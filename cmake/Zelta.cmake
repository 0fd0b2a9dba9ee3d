# Build conventions shared by every folder.

set(ZELTA_WARNINGS -Wall -Wextra)
if(ZELTA_WERROR)
  list(APPEND ZELTA_WARNINGS -Werror)
endif()

if(ZELTA_SANITIZE)
  string(REPLACE ";" "," _zelta_san "${ZELTA_SANITIZE}")
  add_compile_options(-fsanitize=${_zelta_san} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${_zelta_san})
  if(_zelta_san MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

if(ZELTA_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# zelta_library(NAME [DEPS ...]): a static library of every .cpp under the current folder,
# included from the repository root ("pane/core/Xml.h").
function(zelta_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${ZELTA_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# zelta_executable(NAME SOURCES... DEPS ...): a program written to <build>/bin.
function(zelta_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${ZELTA_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
endfunction()

# Adds every sub-folder of the current folder that has a CMakeLists.txt of its own.
function(zelta_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# Adds a system include folder to a library made by zelta_library, whatever its kind.
function(zelta_include_system name dir)
  get_target_property(kind ${name} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${name} SYSTEM INTERFACE ${dir})
  else()
    target_include_directories(${name} SYSTEM PUBLIC ${dir})
  endif()
endfunction()
