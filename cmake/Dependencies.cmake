# Boost.Regex (header-only), nlohmann-json (header-only) and SQLite for both
# builds.
# The cross build must never see the host's /usr/include (glibc headers would
# clash), so it gets a directory holding only a link to the Boost headers.
add_library(dvx_boost INTERFACE)
add_library(dvx_sqlite INTERFACE)
add_library(dvx_json INTERFACE)

if(CMAKE_CROSSCOMPILING)
  set(DVX_BOOST_ROOT ${CMAKE_BINARY_DIR}/boost-include)
  if(NOT EXISTS ${DVX_BOOST_ROOT}/boost)
    file(MAKE_DIRECTORY ${DVX_BOOST_ROOT})
    file(CREATE_LINK /usr/include/boost ${DVX_BOOST_ROOT}/boost SYMBOLIC)
  endif()
  target_include_directories(dvx_boost SYSTEM INTERFACE ${DVX_BOOST_ROOT})

  # The same for Debian's nlohmann-json headers.
  set(DVX_JSON_ROOT ${CMAKE_BINARY_DIR}/json-include)
  if(NOT EXISTS /usr/include/nlohmann/json.hpp)
    message(FATAL_ERROR "nlohmann/json.hpp not found; run scripts/setup.sh first")
  endif()
  if(NOT EXISTS ${DVX_JSON_ROOT}/nlohmann)
    file(MAKE_DIRECTORY ${DVX_JSON_ROOT})
    file(CREATE_LINK /usr/include/nlohmann ${DVX_JSON_ROOT}/nlohmann SYMBOLIC)
  endif()
  target_include_directories(dvx_json SYSTEM INTERFACE ${DVX_JSON_ROOT})

  set(DVX_SQLITE_DIR "$ENV{HOME}/.cache/domivex/sqlite" CACHE PATH "Directory holding the sqlite3.c amalgamation")
  if(NOT EXISTS ${DVX_SQLITE_DIR}/sqlite3.c)
    message(FATAL_ERROR "sqlite3.c not found in ${DVX_SQLITE_DIR}; run scripts/setup.sh first")
  endif()
  add_library(dvx_sqlite_impl STATIC ${DVX_SQLITE_DIR}/sqlite3.c)
  set_source_files_properties(${DVX_SQLITE_DIR}/sqlite3.c PROPERTIES COMPILE_OPTIONS "-w")
  target_compile_definitions(dvx_sqlite_impl PUBLIC SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DEFAULT_FOREIGN_KEYS=0)
  target_include_directories(dvx_sqlite_impl SYSTEM PUBLIC ${DVX_SQLITE_DIR})
  target_link_libraries(dvx_sqlite INTERFACE dvx_sqlite_impl)
else()
  find_package(Boost 1.76 REQUIRED)
  target_link_libraries(dvx_boost INTERFACE Boost::headers)
  find_package(nlohmann_json 3.9 REQUIRED)
  target_link_libraries(dvx_json INTERFACE nlohmann_json::nlohmann_json)
  find_package(SQLite3 REQUIRED)
  target_link_libraries(dvx_sqlite INTERFACE SQLite::SQLite3)
endif()
