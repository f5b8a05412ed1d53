# What the Windows build takes from the Debian machine that cross-builds it: the header-only
# nlohmann/json and UTF8-CPP (each through a folder of its own, so that no other Linux header is on
# the path) and GoogleTest built from Debian's source package.
set(VENMARRA_NLOHMANN_HEADERS /usr/include/nlohmann CACHE PATH "nlohmann/json's header folder")
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/third_party)
file(CREATE_LINK ${VENMARRA_NLOHMANN_HEADERS} ${PROJECT_BINARY_DIR}/third_party/nlohmann SYMBOLIC)
add_library(nlohmann_json INTERFACE)
target_include_directories(nlohmann_json SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/third_party)
add_library(nlohmann_json::nlohmann_json ALIAS nlohmann_json)

set(VENMARRA_UTF8CPP_HEADERS /usr/include/utf8cpp CACHE PATH "UTF8-CPP's header folder")
file(CREATE_LINK ${VENMARRA_UTF8CPP_HEADERS} ${PROJECT_BINARY_DIR}/third_party/utf8cpp SYMBOLIC)
add_library(utf8cpp INTERFACE)
target_include_directories(utf8cpp SYSTEM INTERFACE ${PROJECT_BINARY_DIR}/third_party/utf8cpp)

if(VENMARRA_BUILD_TESTS)
  set(VENMARRA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VENMARRA_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)  # GoogleTest names them GTest::gtest, GTest::gtest_main
endif()
