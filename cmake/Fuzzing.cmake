# The fuzz build: clang with libFuzzer, AddressSanitizer and UBSan, over the
# program's own window-free sources.
#
# clang has no -fexec-charset=GBK, so every source and header is first copied
# into the build tree by gbk_literals.py, which writes each non-ASCII
# character of a narrow literal as the octal escapes of its GBK bytes (what
# gcc's option does) and leaves everything else as it is. The targets are
# compiled from those copies; text/fuzz/fuzz_support.h checks a known literal.
#
#   cmake -S . -B build/fuzz -DDVX_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
#
# Each target <folder>/fuzz/<name>_fuzz.cpp becomes dvx_fuzz_<name>, with
# its seed corpus in <folder>/fuzz/corpus/<name>/. CTest runs every target
# for DVX_FUZZ_SECONDS; scripts/fuzz.sh runs them long.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz build needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++")
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_package(Boost 1.76 REQUIRED)
enable_testing()

set(DVX_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz target runs under CTest")
set(DVX_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                   -fno-omit-frame-pointer -g -O1)

set(DVX_GBK_DIR ${CMAKE_BINARY_DIR}/gbk)
set(DVX_GBK_TOOL ${PROJECT_SOURCE_DIR}/cmake/gbk_literals.py)

# The GBK copy of each repository-relative path; adds the copy's rule once.
function(dvx_gbk_copies out_var)
  set(copies)
  foreach(rel ${ARGN})
    set(copy ${DVX_GBK_DIR}/${rel})
    get_property(known GLOBAL PROPERTY DVX_GBK_COPIES)
    if(NOT copy IN_LIST known)
      set_property(GLOBAL APPEND PROPERTY DVX_GBK_COPIES ${copy})
      add_custom_command(OUTPUT ${copy}
        COMMAND ${Python3_EXECUTABLE} ${DVX_GBK_TOOL} ${PROJECT_SOURCE_DIR}/${rel} ${copy}
        DEPENDS ${PROJECT_SOURCE_DIR}/${rel} ${DVX_GBK_TOOL}
        COMMENT "GBK literals: ${rel}" VERBATIM)
    endif()
    list(APPEND copies ${copy})
  endforeach()
  set(${out_var} ${copies} PARENT_SCOPE)
endfunction()

# Every header a fuzzed source may include, copied before anything compiles.
file(GLOB_RECURSE DVX_FUZZ_HEADERS RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/text/*.h ${PROJECT_SOURCE_DIR}/store/*.h
     ${PROJECT_SOURCE_DIR}/lookup/*.h ${PROJECT_SOURCE_DIR}/ui/*.h)
list(FILTER DVX_FUZZ_HEADERS EXCLUDE REGEX "_win\\.h$")
dvx_gbk_copies(DVX_FUZZ_HEADER_COPIES ${DVX_FUZZ_HEADERS})
add_custom_target(dvx_gbk_headers DEPENDS ${DVX_FUZZ_HEADER_COPIES})

# The window-free code the targets exercise, exactly as the program has it.
dvx_gbk_copies(DVX_FUZZ_CORE_SOURCES
  text/gbk_text.cpp text/date_time.cpp text/codepage.cpp text/codepage_posix.cpp
  store/normalise_domain.cpp store/add_text.cpp store/domain_rows.cpp store/import_decode.cpp
  lookup/page_decode.cpp lookup/labelled_capture.cpp lookup/regex_capture.cpp
  lookup/whois_parser.cpp lookup/index_counter.cpp lookup/rdap_response.cpp lookup/rdap_date.cpp
  lookup/idna.cpp lookup/rdap_bootstrap.cpp lookup/rdap_base_check.cpp lookup/rdap_politeness.cpp
  ui/dialogs/export_lines.cpp ui/dialogs/command_line.cpp ui/dialogs/shortcuts.cpp)
add_library(dvx_fuzz_core STATIC ${DVX_FUZZ_CORE_SOURCES})
add_dependencies(dvx_fuzz_core dvx_gbk_headers)
target_include_directories(dvx_fuzz_core PUBLIC ${DVX_GBK_DIR})
target_compile_options(dvx_fuzz_core PUBLIC ${DVX_FUZZ_FLAGS})
target_link_libraries(dvx_fuzz_core PUBLIC Boost::headers)

set(DVX_FUZZ_MANIFEST ${CMAKE_BINARY_DIR}/fuzz-targets.tsv)
file(WRITE ${DVX_FUZZ_MANIFEST} "")
file(GLOB_RECURSE DVX_FUZZ_TARGETS RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/text/*_fuzz.cpp ${PROJECT_SOURCE_DIR}/store/*_fuzz.cpp
     ${PROJECT_SOURCE_DIR}/lookup/*_fuzz.cpp ${PROJECT_SOURCE_DIR}/ui/*_fuzz.cpp)
list(FILTER DVX_FUZZ_TARGETS INCLUDE REGEX "/fuzz/[a-z_]+_fuzz\\.cpp$")
foreach(rel ${DVX_FUZZ_TARGETS})
  get_filename_component(dir ${rel} DIRECTORY)
  get_filename_component(stem ${rel} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" name ${stem})
  set(target dvx_fuzz_${name})
  dvx_gbk_copies(copy ${rel})
  add_executable(${target} ${copy})
  add_dependencies(${target} dvx_gbk_headers)
  target_link_libraries(${target} PRIVATE dvx_fuzz_core)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)

  # New inputs go to a work corpus in the build tree; the seeds stay as
  # they are in the repository.
  # A dictionary beside the targets (markers the parsers look for) helps the
  # fuzzer past them.
  file(GLOB dict ${PROJECT_SOURCE_DIR}/${dir}/*.dict)
  set(dict_option)
  if(dict)
    set(dict_option -dict=${dict})
  endif()
  # One line per target for scripts/fuzz.sh: name, seeds, dictionary.
  file(APPEND ${DVX_FUZZ_MANIFEST} "${name}\t${PROJECT_SOURCE_DIR}/${dir}/corpus/${name}\t${dict}\n")
  set(work ${CMAKE_BINARY_DIR}/corpus/${name})
  file(MAKE_DIRECTORY ${work} ${CMAKE_BINARY_DIR}/crashes)
  add_test(NAME ${target}
    COMMAND ${target} -max_total_time=${DVX_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 ${dict_option} -artifact_prefix=${CMAKE_BINARY_DIR}/crashes/${name}-
            ${work} ${PROJECT_SOURCE_DIR}/${dir}/corpus/${name})
  math(EXPR timeout "${DVX_FUZZ_SECONDS} * 3 + 60")
  set_tests_properties(${target} PROPERTIES TIMEOUT ${timeout}
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")
endforeach()

# The copies compile to the same code as the originals under gcc's
# -fexec-charset=GBK, which is what makes the fuzzed code the program's.
find_program(DVX_GXX g++)
if(DVX_GXX)
  add_test(NAME dvx_gbk_copies_match
    COMMAND ${PROJECT_SOURCE_DIR}/cmake/check_gbk_copies.sh ${DVX_GXX} ${PROJECT_SOURCE_DIR} ${DVX_GBK_DIR}
            ${DVX_FUZZ_CORE_SOURCES})
  set_tests_properties(dvx_gbk_copies_match PROPERTIES TIMEOUT 600)
endif()
