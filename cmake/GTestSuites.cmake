# Run as a script (cmake -P) after a GoogleTest binary is linked: lists its
# tests and writes CTEST_FILE, one CTest test per test suite, named
# PREFIX/<suite>, that runs the binary on that suite alone, and the list of
# their names in `vorlax_suite_tests`.
#   TEST_EXECUTABLE  the binary
#   CTEST_FILE       the file to write
#   PREFIX           the tests' name prefix (the layer)
#   STRESS_PREFIX    when given, each suite is listed again under this prefix,
#                    in `vorlax_stress_tests` (the caller sets its properties)
#   WORKING_DIRECTORY
if(NOT TEST_EXECUTABLE OR NOT CTEST_FILE OR NOT PREFIX OR NOT WORKING_DIRECTORY)
    message(FATAL_ERROR "GTestSuites.cmake: TEST_EXECUTABLE, CTEST_FILE, PREFIX and WORKING_DIRECTORY are needed")
endif()

execute_process(COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests
                WORKING_DIRECTORY "${WORKING_DIRECTORY}"
                RESULT_VARIABLE status
                OUTPUT_VARIABLE listing
                ERROR_VARIABLE errors
                TIMEOUT 60)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} --gtest_list_tests failed (${status}):\n${listing}\n${errors}")
endif()

# Suite lines start in the first column and end in '.', perhaps followed by a
# comment ("  # TypeParam = ..."); test lines are indented. gtest_main's own
# first line ("Running main() from ...") is neither.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(content "set(vorlax_suite_tests)\nset(vorlax_stress_tests)\n")
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z0-9_/]+)\\.( |$)")
        set(suite "${CMAKE_MATCH_1}")
        set(name "${PREFIX}/${suite}")
        string(APPEND content
               "add_test([==[${name}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${suite}.*]==])\n"
               "list(APPEND vorlax_suite_tests [==[${name}]==])\n")
        if(STRESS_PREFIX)
            set(stress "${STRESS_PREFIX}/${suite}")
            string(APPEND content
                   "add_test([==[${stress}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${suite}.*]==])\n"
                   "list(APPEND vorlax_stress_tests [==[${stress}]==])\n")
        endif()
    endif()
endforeach()
file(WRITE "${CTEST_FILE}" "${content}")
