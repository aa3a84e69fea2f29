include(GoogleTest)

# A test that runs longer than this has hung; CTest stops it and reports it failed.
set(VOCABRIX_TEST_TIMEOUT 300)

# Core tests are GoogleTest programs without an application object, one CTest entry per test.
function(add_core_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE vocabrix_policy GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
    target_compile_definitions(${name} PRIVATE
        VOCABRIX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        VOCABRIX_CORPORA="${PROJECT_SOURCE_DIR}/../shared/corpora")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT ${VOCABRIX_TEST_TIMEOUT})
endfunction()

# Window tests are Qt Test programs; they run on the offscreen platform.
function(add_gui_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE vocabrix_policy Qt6::Test vocabrix_test_support)
    target_compile_definitions(${name} PRIVATE
        VOCABRIX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        VOCABRIX_CORPORA="${PROJECT_SOURCE_DIR}/../shared/corpora")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${VOCABRIX_TEST_TIMEOUT})
endfunction()
