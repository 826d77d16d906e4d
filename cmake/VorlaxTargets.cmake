# One place for the flags every target gets, and the helpers that make the
# library, test, benchmark and fuzz targets of each folder.

set(VORLAX_SOURCE_ROOT ${CMAKE_SOURCE_DIR})

# The fuzzers' coverage ignore list, copied under a name that holds its
# checksum: neither the build tool nor the compiler cache reads a file that a
# flag names, so a changed list must change the flag to compile anew.
if(VORLAX_FUZZ)
    set(ignorelist ${VORLAX_SOURCE_ROOT}/fuzz/coverage-ignorelist.txt)
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ignorelist})
    file(MD5 ${ignorelist} ignorelistSum)
    set(VORLAX_COVERAGE_IGNORELIST ${CMAKE_BINARY_DIR}/coverage-ignorelist-${ignorelistSum}.txt)
    configure_file(${ignorelist} ${VORLAX_COVERAGE_IGNORELIST} COPYONLY)
endif()

# Flags for every target of the project.
function(vorlax_common_options target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    target_include_directories(${target} PUBLIC ${VORLAX_SOURCE_ROOT})
    if(ENABLE_ASAN)
        target_compile_options(${target} PUBLIC -fsanitize=address -fno-omit-frame-pointer)
        target_link_options(${target} PUBLIC -fsanitize=address)
    endif()
    if(ENABLE_UBSAN)
        target_compile_options(${target} PUBLIC -fsanitize=undefined -fno-sanitize-recover=undefined)
        target_link_options(${target} PUBLIC -fsanitize=undefined)
    endif()
    if(ENABLE_TSAN)
        target_compile_options(${target} PUBLIC -fsanitize=thread)
        target_link_options(${target} PUBLIC -fsanitize=thread)
    endif()
    # The collector's check for references missing from reference lists, on
    # wherever a failure is worth its cost: debug and sanitizer builds (the
    # stress run is a sanitizer build's).
    if(ENABLE_ASAN OR ENABLE_UBSAN)
        target_compile_definitions(${target} PUBLIC VORLAX_VERIFY_REFERENCES=1)
    else()
        target_compile_definitions(${target} PUBLIC $<$<CONFIG:Debug>:VORLAX_VERIFY_REFERENCES=1>)
    endif()
    if(VORLAX_FUZZ)
        # Coverage for the fuzzers in every library they reach, not only in
        # the harness, but for what fuzz/coverage-ignorelist.txt leaves out.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link
                               -fsanitize-coverage-ignorelist=${VORLAX_COVERAGE_IGNORELIST})
        target_link_options(${target} PUBLIC -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# Code that runs guest classes (runtime, class library, platform, game) keeps
# Java's arithmetic: signed overflow wraps. Objects are laid over zeroed heap
# memory and declare their reference fields with offsetof.
function(vorlax_guest_options target)
    target_compile_options(${target} PRIVATE -fwrapv $<$<CXX_COMPILER_ID:GNU>:-fno-lifetime-dse>
                           $<$<COMPILE_LANGUAGE:CXX>:-Wno-invalid-offsetof>)
endfunction()

# vorlax_library(<name> [GUEST] [UNBATCHED] [DEPENDS targets...]
#                [PRIVATE_DEPENDS targets...] [EXCLUDE regexes...]
#                [ALONE regexes...])
# Builds every .cpp below the calling folder, but those whose path matches an
# EXCLUDE regex, into the static library vorlax_<name>, in batches (see
# VORLAX_BATCH) unless UNBATCHED. A file whose path matches an ALONE regex
# compiles by itself: one that takes its own compile definitions, which a
# batch would not pass on. GUEST adds the guest-code options.
function(vorlax_library name)
    cmake_parse_arguments(ARG "GUEST;UNBATCHED" "" "DEPENDS;EXCLUDE;PRIVATE_DEPENDS;ALONE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(excluded ${ARG_EXCLUDE})
        list(FILTER sources EXCLUDE REGEX "${excluded}")
    endforeach()
    set(alone "")
    foreach(pattern ${ARG_ALONE})
        set(matching ${sources})
        list(FILTER matching INCLUDE REGEX "${pattern}")
        list(FILTER sources EXCLUDE REGEX "${pattern}")
        list(APPEND alone ${matching})
    endforeach()
    set(target vorlax_${name})
    if(NOT ARG_UNBATCHED)
        vorlax_batched_sources(sources ${target} ${sources})
    endif()
    add_library(${target} STATIC ${sources} ${alone})
    vorlax_common_options(${target})
    vorlax_batch_options(${target})
    if(ARG_GUEST)
        vorlax_guest_options(${target})
    endif()
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS} Threads::Threads PRIVATE ${ARG_PRIVATE_DEPENDS})
endfunction()

# The files of `sources` that define a test whose full name
# ("Suite.Name") matches one of `filter`'s ':'-separated GoogleTest patterns
# (positive ones only: '*' any run of characters, '?' one), into `out`.
function(vorlax_sources_with_tests out filter)
    string(REPLACE ":" ";" patterns "${filter}")
    set(regexes "")
    foreach(pattern IN LISTS patterns)
        string(REPLACE "." "\\." regex "${pattern}")
        string(REPLACE "*" ".*" regex "${regex}")
        string(REPLACE "?" "." regex "${regex}")
        list(APPEND regexes "^${regex}$")
    endforeach()
    set(selected "")
    foreach(source IN LISTS ARGN)
        file(STRINGS ${source} tests REGEX "^TEST(_F)?\\([A-Za-z0-9_]+, *[A-Za-z0-9_]+")
        foreach(test IN LISTS tests)
            string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+).*" "\\2.\\3" name "${test}")
            foreach(regex IN LISTS regexes)
                if(name MATCHES "${regex}")
                    list(APPEND selected ${source})
                    break()
                endif()
            endforeach()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES selected)
    set(${out} ${selected} PARENT_SCOPE)
endfunction()

# Test code (the tests, their fixtures, the corpus replays) is not what the
# benchmarks measure: a Release build compiles it at -O2, where -O3 would cost
# its compile a third more for nothing. The sanitizer builds (RelWithDebInfo)
# compile it at -Og, a third of the -O2 compile under the sanitizers; the
# code under test stays at -O2 there.
set(VORLAX_TEST_CODE_OPTIONS $<$<CONFIG:Release>:-O2> $<$<CONFIG:RelWithDebInfo>:-Og>)

# Sources compile in batches: one compiler run per batch of up to
# VORLAX_BATCH files of a folder, each batch a generated source that includes
# its files. A file costs little to compile beside the headers it shares with
# its neighbours (the runtime's, the standard library's, GoogleTest's), which
# a batch reads and instantiates once: a folder of the game compiles in about
# a fifth of the time, its tests in about a third. The files of a folder
# therefore keep distinct names in their unnamed namespaces, as if they were
# one file (tools/check-batches.sh keeps it so); a library whose files share
# such names is built UNBATCHED. A batch includes its files by their path
# below the source root, so it is the same source in every checkout and stays
# in the compiler cache. VORLAX_BATCH=1 compiles each file alone.
set(VORLAX_BATCH 8 CACHE STRING "Source files compiled together in one compiler run (1: each alone)")

# vorlax_batched_sources(<out> <target> sources...): `sources` as the batches
# that compile them (see above), into `out`.
function(vorlax_batched_sources out target)
    if(VORLAX_BATCH LESS_EQUAL 1)
        set(${out} ${ARGN} PARENT_SCOPE)
        return()
    endif()
    set(batches "")
    set(folder "")
    set(count 0)
    set(number 0)
    set(content "")
    foreach(source IN LISTS ARGN)
        get_filename_component(source_folder ${source} DIRECTORY)
        if(count GREATER 0 AND (count EQUAL VORLAX_BATCH OR NOT source_folder STREQUAL folder))
            _vorlax_write_batch(batch ${target} ${number} "${content}")
            list(APPEND batches ${batch})
            math(EXPR number "${number} + 1")
            set(count 0)
            set(content "")
        endif()
        set(folder ${source_folder})
        file(RELATIVE_PATH relative ${VORLAX_SOURCE_ROOT} ${source})
        string(APPEND content "#include \"${relative}\"\n")
        math(EXPR count "${count} + 1")
    endforeach()
    if(count GREATER 0)
        _vorlax_write_batch(batch ${target} ${number} "${content}")
        list(APPEND batches ${batch})
    endif()
    # The files stay in the target for editors, compiled only through their batch.
    set_source_files_properties(${ARGN} PROPERTIES HEADER_FILE_ONLY ON)
    set(${out} ${batches} ${ARGN} PARENT_SCOPE)
endfunction()

function(_vorlax_write_batch out target number content)
    set(file ${CMAKE_CURRENT_BINARY_DIR}/batches/${target}_${number}.cpp)
    file(CONFIGURE OUTPUT ${file} CONTENT "// Generated: files compiled together.\n${content}" @ONLY)
    set(${out} ${file} PARENT_SCOPE)
endfunction()

# A batched file is not its compile's main file: GCC would then take the
# types of its unnamed namespace used by its tests (fixtures) for a header's.
function(vorlax_batch_options target)
    if(VORLAX_BATCH GREATER 1)
        target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
    endif()
endfunction()

# CTest starts a test set in descending COST: the tests that run whole games
# (the demo, the data mutants, the whole-game corpus replays, the game and
# tools layers' suites) start first, so that none of them is left running
# alone at the end of a parallel run. Once a build folder has run its tests,
# CTest orders by the times it measured instead.
set(VORLAX_WHOLE_GAME_COST 100)

# vorlax_test_suite(<layer> DEPENDS targets... [THREADING filter] [COST n]
#                   [GC_STRESS])
# One GoogleTest binary per layer from every .cpp below tests/<layer>,
# labelled <layer> in CTest. THREADING is the GoogleTest filter of the
# layer's tests that run under ThreadSanitizer: a ThreadSanitizer build
# compiles only the files that hold them and lists only them in CTest (a
# layer without THREADING has no binary there). COST orders the layer's
# suites in a parallel run (see VORLAX_WHOLE_GAME_COST). GC_STRESS lists the
# layer's suites a second time under collection stress when
# VORLAX_GC_STRESS_TESTS is on.
function(vorlax_test_suite layer)
    cmake_parse_arguments(ARG "GC_STRESS" "THREADING;COST" "DEPENDS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp)
    set(cost 0)
    if(ARG_COST)
        set(cost ${ARG_COST})
    endif()
    set(discover_options "")
    if(ENABLE_TSAN)
        if(NOT ARG_THREADING)
            return()
        endif()
        vorlax_sources_with_tests(sources "${ARG_THREADING}" ${sources})
        set(discover_options TEST_FILTER "${ARG_THREADING}")
    endif()
    set(target ${layer}_tests)
    vorlax_batched_sources(sources ${target} ${sources})
    add_executable(${target} ${sources})
    vorlax_common_options(${target})
    vorlax_guest_options(${target})
    vorlax_batch_options(${target})
    target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} vorlax_test_support GTest::gtest GTest::gmock GTest::gtest_main)
    if(ENABLE_TSAN)
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 ${discover_options} PROPERTIES LABELS ${layer}
                             ${VORLAX_DEMO_SET_PROPERTIES})
    else()
        set(stress "")
        if(ARG_GC_STRESS AND VORLAX_GC_STRESS_TESTS)
            set(stress GC_STRESS)
        endif()
        vorlax_suite_tests(${target} ${layer} ${stress} PROPERTIES LABELS ${layer} COST ${cost}
                           ${VORLAX_DEMO_SET_PROPERTIES})
    endif()
endfunction()

# vorlax_suite_tests(<target> <prefix> [GC_STRESS] PROPERTIES properties...)
# One CTest test per test suite of the GoogleTest binary <target>, named
# <prefix>/<suite>, with `properties`; listed when the binary is linked
# (cmake/GTestSuites.cmake). A suite's tests share one process, as when the
# binary runs whole: a process per test would pay each time for what a
# process starts with (under the sanitizers a large part of a short test)
# and for the set-up its suite's tests share. The suite's output names
# each test, failed or skipped. GC_STRESS lists each suite again as
# gc-stress/<prefix>/<suite>, labelled gc-stress, with VORLAX_GC_STRESS=1 in
# its environment: one run of the build then takes both, and the stress
# copies fill the cores while the longest tests finish. A suite and its copy
# never run at the same time (a lock of the suite's name), as they never did
# when the stress was a run of its own.
function(vorlax_suite_tests target prefix)
    cmake_parse_arguments(ARG "GC_STRESS" "" "PROPERTIES" ${ARGN})
    set(ctest_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake)
    set(stress_prefix "")
    if(ARG_GC_STRESS)
        set(stress_prefix gc-stress/${prefix})
    endif()
    add_custom_command(
        TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -D TEST_EXECUTABLE=$<TARGET_FILE:${target}> -D CTEST_FILE=${ctest_file}
                -D PREFIX=${prefix} -D STRESS_PREFIX=${stress_prefix} -D WORKING_DIRECTORY=${CMAKE_CURRENT_BINARY_DIR}
                -P ${VORLAX_SOURCE_ROOT}/cmake/GTestSuites.cmake
        BYPRODUCTS ${ctest_file}
        VERBATIM)
    set(properties "")
    foreach(item IN LISTS ARG_PROPERTIES)
        string(APPEND properties " [==[${item}]==]")
    endforeach()
    # The copies' properties: the label gc-stress, and the stress switch
    # added to the environment.
    set(stress_properties "")
    set(key "")
    set(has_environment FALSE)
    foreach(item IN LISTS ARG_PROPERTIES)
        if(key STREQUAL "LABELS")
            set(item gc-stress)
        elseif(key STREQUAL "ENVIRONMENT")
            set(item "${item};VORLAX_GC_STRESS=1")
            set(has_environment TRUE)
        endif()
        string(APPEND stress_properties " [==[${item}]==]")
        set(key ${item})
    endforeach()
    if(NOT has_environment)
        string(APPEND stress_properties " ENVIRONMENT VORLAX_GC_STRESS=1")
    endif()
    set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake)
    file(WRITE ${include_file}
         "if(EXISTS [==[${ctest_file}]==])\n"
         "    include([==[${ctest_file}]==])\n"
         "    if(vorlax_suite_tests)\n"
         "        set_tests_properties(\${vorlax_suite_tests} \${vorlax_stress_tests} PROPERTIES TIMEOUT 600\n"
         "            WORKING_DIRECTORY [==[${CMAKE_CURRENT_BINARY_DIR}]==]${properties})\n"
         "    endif()\n"
         "    foreach(stress IN LISTS vorlax_stress_tests)\n"
         "        string(REGEX REPLACE [==[^gc-stress/]==] [==[]==] suite \${stress})\n"
         "        set_tests_properties(\${stress} PROPERTIES${stress_properties})\n"
         "        set_tests_properties(\${suite} \${stress} PROPERTIES RESOURCE_LOCK \${suite})\n"
         "    endforeach()\n"
         "else()\n"
         "    add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()

# vorlax_build_paths(<target> <name>=<path>...): defines the build paths that
# the target's tests or benchmarks read through tests/support/BuildPaths.h
# (`program`, `sourceDir`...) in a source of its own. The target's other
# sources then carry no path of the checkout and compile the same in every
# clone, which keeps them in the compiler cache; paths may be generator
# expressions.
function(vorlax_build_paths target)
    set(definitions "")
    foreach(entry IN LISTS ARGN)
        if(NOT entry MATCHES "^([A-Za-z]+)=(.+)$")
            message(FATAL_ERROR "vorlax_build_paths: '${entry}' is not <name>=<path>")
        endif()
        string(APPEND definitions "const char* const ${CMAKE_MATCH_1} = \"${CMAKE_MATCH_2}\";\n")
    endforeach()
    set(source ${CMAKE_CURRENT_BINARY_DIR}/build_paths/${target}.cpp)
    file(GENERATE OUTPUT ${source}
         CONTENT "#include \"tests/support/BuildPaths.h\"\n\nnamespace testing_support::build_paths {\n${definitions}}\n")
    target_sources(${target} PRIVATE ${source})
endfunction()

# vorlax_benchmark(<name> SOURCES files... DEPENDS targets...)
# The benchmark binary bench_<name>; the target `benchmarks` builds them all
# (and nothing else).
function(vorlax_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    set(target bench_${name})
    add_executable(${target} ${ARG_SOURCES})
    if(NOT TARGET benchmarks)
        add_custom_target(benchmarks)
    endif()
    add_dependencies(benchmarks ${target})
    vorlax_common_options(${target})
    vorlax_guest_options(${target})
    target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# Per-input limits of fuzzing runs and corpus replays: resident memory in MB
# and seconds.
set(VORLAX_FUZZ_RSS_LIMIT_MB 1024)
set(VORLAX_FUZZ_TIMEOUT 10)

# vorlax_fuzzer(<name> SOURCE file DEPENDS targets... [CORPUS dir] [WHOLE_GAME])
# With VORLAX_FUZZ (clang) a libFuzzer binary fuzz_<name>. Always, when tests
# are built, a replay binary that runs every file of the corpus through the
# harness as an ordinary test; WHOLE_GAME (a harness that runs a whole game
# per input) starts it early in a parallel run.
function(vorlax_fuzzer name)
    cmake_parse_arguments(ARG "WHOLE_GAME" "SOURCE;CORPUS" "DEPENDS" ${ARGN})
    if(NOT ARG_CORPUS)
        set(ARG_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    endif()
    if(VORLAX_FUZZ)
        set(target fuzz_${name})
        add_executable(${target} ${ARG_SOURCE})
        vorlax_common_options(${target})
        vorlax_guest_options(${target})
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${target} PRIVATE ${ARG_DEPENDS})
    endif()
    if(BUILD_TESTING)
        # The replay's main is the same for every harness: compiled once.
        if(NOT TARGET vorlax_fuzz_replay_main)
            add_library(vorlax_fuzz_replay_main OBJECT ${VORLAX_SOURCE_ROOT}/fuzz/ReplayMain.cpp)
            vorlax_common_options(vorlax_fuzz_replay_main)
            target_compile_options(vorlax_fuzz_replay_main PRIVATE ${VORLAX_TEST_CODE_OPTIONS})
        endif()
        set(replay fuzz_replay_${name})
        add_executable(${replay} ${ARG_SOURCE} $<TARGET_OBJECTS:vorlax_fuzz_replay_main>)
        vorlax_common_options(${replay})
        vorlax_guest_options(${replay})
        target_compile_options(${replay} PRIVATE ${VORLAX_TEST_CODE_OPTIONS})
        target_link_libraries(${replay} PRIVATE ${ARG_DEPENDS})
        # The limits a fuzzing run has: memory and time per input. The whole
        # replay has the tests' common limit: the largest corpora take a
        # minute or two under the sanitizers on a busy machine, and a hang is
        # already the input's limit.
        add_test(NAME fuzz_replay.${name} COMMAND ${replay} -rss_limit_mb=${VORLAX_FUZZ_RSS_LIMIT_MB}
                                                  -timeout=${VORLAX_FUZZ_TIMEOUT} ${ARG_CORPUS})
        set_tests_properties(fuzz_replay.${name} PROPERTIES LABELS fuzz TIMEOUT 600)
        if(ARG_WHOLE_GAME)
            set_tests_properties(fuzz_replay.${name} PROPERTIES COST ${VORLAX_WHOLE_GAME_COST})
        endif()
    endif()
endfunction()
