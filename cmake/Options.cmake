option(ODOMIRA_BUILD_TESTS "Build the test programs" ON)
option(ODOMIRA_WERROR "Treat compiler warnings as errors" OFF)
option(ODOMIRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(ODOMIRA_FUZZ "Build the libFuzzer targets in tests/fuzz (clang only; instruments every target)" OFF)

if(ODOMIRA_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ODOMIRA_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()

# Applied per target through odomira_target_defaults(); no global flag juggling.
function(odomira_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
    if(ODOMIRA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(ODOMIRA_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(ODOMIRA_FUZZ)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                  -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    target_compile_definitions(${target} PRIVATE QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()
