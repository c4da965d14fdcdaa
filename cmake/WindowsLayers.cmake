# A Windows build without Qt: core, platform, the identity tool and their unit tests.
find_package(Threads REQUIRED)

# The JSON library is headers alone and the same for every target: its own directory is
# borrowed from this machine, never the rest of /usr/include.
find_path(QUILLMARK_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          REQUIRED)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/borrowed)
file(CREATE_LINK ${QUILLMARK_JSON_INCLUDE}/nlohmann ${CMAKE_BINARY_DIR}/borrowed/nlohmann
     SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/borrowed)

# Whole executables: no runtime DLLs of the compiler to ship or to find under Wine.
add_link_options(-static)
# Unicode Windows calls, and nothing older than Windows 7.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_subdirectory(src/core)
add_subdirectory(src/platform)
add_subdirectory(tools/identity)

if(BUILD_TESTING)
  # Debian's googletest sources, built with this compiler.
  set(QUILLMARK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QUILLMARK_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  enable_testing()
  add_subdirectory(tests)
endif()
