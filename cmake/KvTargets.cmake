# Shared build settings and helpers for every folder's target.

set(KV_WARNINGS -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wconversion)
if(KV_WERROR)
  list(APPEND KV_WARNINGS -Werror)
endif()
add_compile_options(${KV_WARNINGS})
# GCC 12 at -O3 (Release) reports overlaps in inlined std::string code that cannot happen.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<CONFIG:Release>:-Wno-restrict>)
endif()

if(KV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

macro(kv_add_subdirectory_if_present dir)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/${dir} ${CMAKE_BINARY_DIR}/${dir})
  endif()
endmacro()

# kv_add_layer(<target> DEPS <targets...>): a static library of every .cpp/.h in the folder.
function(kv_add_layer target)
  cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# kv_add_test(<name> DEPS <targets...>): one GoogleTest binary of every .cpp in the folder,
# linked with the shared offscreen test main.
function(kv_add_test name)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kv_test_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KV_SOURCE_DIR=${CMAKE_SOURCE_DIR};KV_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

if(KV_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
