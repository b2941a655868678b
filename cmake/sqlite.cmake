# The SQLite engine, compiled from the amalgamation that scripts/fetch-deps.sh unpacks under
# build/deps (never committed). Double-quoted string literals are off, so a double-quoted word is
# always a name. Defines the target karo_sqlite3 (C, with its header on the include path).
set(KARO_DEPS_DIR ${CMAKE_SOURCE_DIR}/build/deps CACHE PATH "Where scripts/fetch-deps.sh unpacks its packages")
set(KARO_SQLITE_DIR ${KARO_DEPS_DIR}/better-sqlite3-12.11.1/package/deps/sqlite3)
if(NOT EXISTS ${KARO_SQLITE_DIR}/sqlite3.c)
  message(FATAL_ERROR "The SQLite amalgamation is missing from ${KARO_SQLITE_DIR}: run scripts/setup.sh")
endif()
if(NOT TARGET karo_sqlite3)
  add_library(karo_sqlite3 STATIC ${KARO_SQLITE_DIR}/sqlite3.c)
  target_include_directories(karo_sqlite3 SYSTEM PUBLIC ${KARO_SQLITE_DIR})
  target_compile_definitions(karo_sqlite3 PRIVATE
    SQLITE_DQS=0
    SQLITE_DEFAULT_MEMSTATUS=0
    SQLITE_OMIT_DEPRECATED
    SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_LIKE_DOESNT_MATCH_BLOBS
    SQLITE_THREADSAFE=1)
  # The engine is tested upstream; the sanitizers would only slow its every query in our tests.
  if(NOT WIN32)
    target_compile_options(karo_sqlite3 PRIVATE -fno-sanitize=all -w)
    target_link_libraries(karo_sqlite3 PUBLIC ${CMAKE_DL_LIBS} pthread)
  else()
    target_compile_options(karo_sqlite3 PRIVATE -w)
  endif()
  set_target_properties(karo_sqlite3 PROPERTIES POSITION_INDEPENDENT_CODE ON)
endif()
