# Build conventions shared by every folder of the tree.
#
#   TC_WINDOWS  a Windows build (either architecture)
#   TC_X86      the x86 Windows build: the connection manager, Launchpod and the x86 helpers
#   TC_X64      the x64 Windows build: the x64 installer helpers
#
# Shipped programs land in <build>/bin next to the shipped data files; test programs
# stay in their own binary folder so that each test suite owns the files beside it.

option(TC_SANITIZE "Build the native code with address and undefined-behaviour sanitizers" OFF)
option(TC_WERROR "Treat compiler warnings as errors" ON)

set(TC_WINDOWS OFF)
set(TC_X86 OFF)
set(TC_X64 OFF)
if(WIN32)
    set(TC_WINDOWS ON)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(TC_X86 ON)
    else()
        set(TC_X64 ON)
    endif()
    # ctest runs every Windows test program through the build's own Wine prefix.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run)
endif()

set(TC_BIN_DIR ${CMAKE_BINARY_DIR}/bin)

macro(tc_set_project_flags)
    add_compile_options(-Wall -Wextra -Wshadow -Wno-missing-field-initializers)
    if(TC_WERROR)
        add_compile_options(-Werror)
    endif()
    if(TC_WINDOWS)
        # ANSI Windows API throughout; a static runtime so no mingw DLL has to ship.
        add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
        add_link_options(-static -static-libgcc -static-libstdc++)
    elseif(TC_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=all)
        add_link_options(-fsanitize=address,undefined)
    endif()
endmacro()

# tc_add_program(<name> [GUI] [CONSOLE] SOURCES ... [LIBS ...])
# A program that ships (or a tool used beside shipped programs): output to <build>/bin.
function(tc_add_program name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    if(ARG_GUI)
        add_executable(${name} WIN32 ${ARG_SOURCES})
    else()
        add_executable(${name} ${ARG_SOURCES})
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${TC_BIN_DIR})
endfunction()

# tc_add_test(<name> SOURCES ... [LIBS ...] [ENVIRONMENT ...] [LABELS ...])
# One GoogleTest program, run by ctest as one test (under Wine in the Windows builds).
function(tc_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT;LABELS;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    if(ARG_DEPENDS)
        add_dependencies(${name} ${ARG_DEPENDS})
    endif()
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 RUN_SERIAL ON)
    if(ARG_ENVIRONMENT)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
    endif()
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()

# tc_add_host_program(<name> SOURCES ... [INCLUDES ...])
# A Linux program built with the host compiler in every preset, the cross builds
# included: tools that run during the build and the simulated hardware. The program
# is <build>/host/<name>; the generator expression $<TARGET_PROPERTY:<name>,HOST_PROGRAM>
# names it in commands and tests.
find_program(TC_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
function(tc_add_host_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;INCLUDES" ${ARGN})
    set(output ${CMAKE_BINARY_DIR}/host/${name})
    list(TRANSFORM ARG_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
    set(includes)
    foreach(dir IN LISTS ARG_INCLUDES)
        list(APPEND includes -I${dir})
    endforeach()
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
        COMMAND ${TC_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -MD -MF ${output}.d
                ${includes} -o ${output} ${ARG_SOURCES}
        DEPENDS ${ARG_SOURCES}
        DEPFILE ${output}.d
        COMMENT "Building host program ${name}"
        VERBATIM)
    add_custom_target(${name} ALL DEPENDS ${output})
    set_target_properties(${name} PROPERTIES HOST_PROGRAM ${output})
endfunction()
