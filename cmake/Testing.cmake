# Test registration for both builds.
#
# Cross build (WIN32): Google tests run under Wine through the emulator in
# tools/wine/wine-run, in a prefix that the fixture "wine" creates inside the
# build tree. The native build of the same sources is an external project
# whose tests are pulled into this build's CTest run.
#
# Native build: pure-logic tests under ASan/UBSan, and libFuzzer targets run
# for a fixed number of inputs.

get_filename_component(SUITE_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set_property(GLOBAL PROPERTY NATIVE_TEST_LINES "")

if(WIN32)
    add_test(NAME wine.prefix.setup
             COMMAND ${SUITE_SOURCE_DIR}/tools/wine/wineprefix-setup ${CMAKE_BINARY_DIR})
    set_tests_properties(wine.prefix.setup PROPERTIES FIXTURES_SETUP wine RESOURCE_LOCK wineprefix)
    # The server ends by itself a minute after its last program: when the
    # suite ends with a minute of tests that need no Wine, none is left.
    add_test(NAME wine.prefix.cleanup
             COMMAND env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
                     sh -c "wineserver -k 2>/dev/null || true")
    set_tests_properties(wine.prefix.cleanup PROPERTIES FIXTURES_CLEANUP wine)
endif()

# add_wine_gtest(NAME SOURCES ... [LIBS ...] [LOCKS ...] [ENVIRONMENT ...] [DEPENDS ...])
# A GoogleTest program run under Wine, one CTest test per TEST().
# LOCKS names shared resources (the desktop, the client's folder, a
# registry key) that two tests must not use at once.
# Wine takes the user's language from the Unix locale: every Wine test runs
# in English (C.UTF-8) whatever the machine's LANG, unless its own
# ENVIRONMENT sets LC_ALL (later entries win).
set(WINE_TEST_LOCALE "LC_ALL=C.UTF-8")
function(add_wine_gtest)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LOCKS;ENVIRONMENT;DEPENDS" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE testkit gtest_main ${T_LIBS})
    if(T_DEPENDS)
        add_dependencies(${T_NAME} ${T_DEPENDS})
    endif()
    gtest_add_tests(TARGET ${T_NAME} SOURCES ${T_SOURCES} TEST_PREFIX "${T_NAME}." TEST_LIST tests)
    set_tests_properties(${tests} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
    if(T_LOCKS)
        set_tests_properties(${tests} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
    endif()
    set_tests_properties(${tests} PROPERTIES ENVIRONMENT "${WINE_TEST_LOCALE};${T_ENVIRONMENT}")
endfunction()

# What every test run under Wine has: the prefix's fixture, a time-out, its
# environment and the shared resources it locks (a list, maybe empty).
function(wine_test_properties name timeout environment locks)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${timeout}
                         ENVIRONMENT "${environment}")
    if(locks)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${locks}")
    endif()
endfunction()

# add_wine_gtest_run(NAME TARGET FILTER [LOCKS ...] [ENVIRONMENT ...])
# Cases of an add_wine_gtest program (a gtest filter) run once more under
# another environment: another locale, say.
function(add_wine_gtest_run)
    cmake_parse_arguments(T "" "NAME;TARGET;FILTER" "LOCKS;ENVIRONMENT" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_TARGET} --gtest_filter=${T_FILTER})
    wine_test_properties(${T_NAME} 300 "${WINE_TEST_LOCALE};${T_ENVIRONMENT}" "${T_LOCKS}")
endfunction()

# An ANSI code page of UTF-8 (65001) in an English session, as Windows has
# it when the user ticks "Use Unicode UTF-8 for worldwide language support".
# Wine 8 takes the code page from the process's Unix locale (LC_CTYPE) and
# ignores the prefix's Nls\CodePage values (ACP, OEMCP): a locale that has
# no ANSI code page of its own (Hindi) gets UTF-8. The UI language and the
# user's locale follow LC_MESSAGES (English). The locales are the build
# tree's own (tools/wine/wineprefix-setup makes them): in a locale that the
# machine lacks, Wine takes Unix file names for ASCII. EXPECT_ACP tells the
# tests which code page to expect.
set(WINE_UTF8_ACP "LC_ALL=;LANG=en_US.UTF-8;LC_CTYPE=hi_IN.UTF-8;LOCPATH=${CMAKE_BINARY_DIR}/locale;EXPECT_ACP=65001")

# add_wine_test(NAME COMMAND ... [LOCKS ...] [ENVIRONMENT ...])
# Any other command (a script) that needs the Wine prefix.
function(add_wine_test)
    cmake_parse_arguments(T "" "NAME" "COMMAND;LOCKS;ENVIRONMENT" ${ARGN})
    if(NOT WIN32)
        return()
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
    wine_test_properties(${T_NAME} 600
        "WINE_BUILD_DIR=${CMAKE_BINARY_DIR};WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;${WINE_TEST_LOCALE};${T_ENVIRONMENT}"
        "${T_LOCKS}")
endfunction()

# add_native_gtest(NAME SOURCES ... [LIBS ...])
# Pure logic that compiles on the build machine: built and run natively with
# sanitizers (one CTest test per program, named native.NAME).
function(add_native_gtest)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    if(WIN32)
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE gtest_main ${T_LIBS})
    target_compile_options(${T_NAME} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all)
    target_link_options(${T_NAME} PRIVATE -fsanitize=address,undefined)
    set_property(GLOBAL APPEND PROPERTY NATIVE_TEST_LINES
        "add_test(native.${T_NAME} \"$<TARGET_FILE:${T_NAME}>\")")
endfunction()

# add_native_fuzzer(NAME SOURCES ... [LIBS ...] [RUNS n] [CORPUS dir])
# A libFuzzer target (clang only); the test runs it over a fixed number of
# generated inputs, starting from CORPUS if given.
function(add_native_fuzzer)
    cmake_parse_arguments(T "" "NAME;RUNS;CORPUS" "SOURCES;LIBS" ${ARGN})
    if(WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        return()
    endif()
    if(NOT T_RUNS)
        set(T_RUNS 20000)
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
    target_compile_options(${T_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${T_NAME} PRIVATE -fsanitize=fuzzer,address,undefined)
    set(corpus "")
    if(T_CORPUS)
        set(corpus "\"${T_CORPUS}\"")
    endif()
    set_property(GLOBAL APPEND PROPERTY NATIVE_TEST_LINES
        "add_test(native.fuzz.${T_NAME} \"$<TARGET_FILE:${T_NAME}>\" -runs=${T_RUNS} -seed=1 -max_len=65536 ${corpus})")
endfunction()

# The native build of the pure logic; a tree built only to compile and read
# the other width's images (tools/images/build-shipped) leaves it out.
option(SUITE_NATIVE "Also build and test the pure logic natively" ON)

function(finish_testing)
    if(WIN32 AND SUITE_NATIVE)
        include(ExternalProject)
        find_program(HOST_CXX NAMES clang++ g++)
        find_program(HOST_CC NAMES clang gcc)
        ExternalProject_Add(native
            SOURCE_DIR ${SUITE_SOURCE_DIR}
            BINARY_DIR ${CMAKE_BINARY_DIR}/native
            CMAKE_ARGS -DCMAKE_C_COMPILER=${HOST_CC} -DCMAKE_CXX_COMPILER=${HOST_CXX}
                       -DCMAKE_BUILD_TYPE=Debug
            INSTALL_COMMAND ""
            BUILD_ALWAYS ON)
        # Pull the native tests into this build's CTest run when they exist.
        file(WRITE ${CMAKE_BINARY_DIR}/native-tests-include.cmake
            "if(EXISTS \"${CMAKE_BINARY_DIR}/native/native-tests.cmake\")\n"
            "  include(\"${CMAKE_BINARY_DIR}/native/native-tests.cmake\")\n"
            "endif()\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
            ${CMAKE_BINARY_DIR}/native-tests-include.cmake)
    elseif(NOT WIN32)
        get_property(lines GLOBAL PROPERTY NATIVE_TEST_LINES)
        list(JOIN lines "\n" content)
        file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/native-tests.cmake CONTENT "${content}\n")
    endif()
endfunction()
