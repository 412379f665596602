# Run by ctest before the tests (a TEST_INCLUDE_FILES script): lists the tests of one test program and adds
# one ctest test per suite, run as `program --gtest_filter=Suite.*`. One process per suite rather than per
# test: a GL context, a data packet and a program start cost about a second, and each suite shares them.
# Set by the caller: program, label.
if(NOT EXISTS "${program}")
    add_test("${label}_NOT_BUILT" "${program}")
    return()
endif()
execute_process(
    COMMAND "${program}" --gtest_list_tests
    OUTPUT_VARIABLE listing
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    add_test("${label}_CANNOT_LIST_TESTS" "${program}" --gtest_list_tests)
    return()
endif()
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
    # Suites start in the first column and end with a dot; tests are indented beneath them.
    if(line MATCHES "^([^ #]+)\\.")
        set(suite "${CMAKE_MATCH_1}")
        add_test("${suite}" "${program}" "--gtest_filter=${suite}.*")
        set_tests_properties("${suite}" PROPERTIES LABELS "${label}")
    endif()
endforeach()
