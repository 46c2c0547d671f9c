# Warnings for our own targets; third-party code is not built with these.
# KORVEX_WERROR turns them into errors (the test script sets it, so they stay clean).
option(KORVEX_WERROR "Treat warnings of our own code as errors" OFF)
function(korvex_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
            -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wformat=2
            -Wimplicit-fallthrough -Wmissing-declarations)
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
            # GCC 12 reports std::string copies inlined at -O2/-O3 as overlapping (GCC bug 105329).
            target_compile_options(${target} PRIVATE -Wno-restrict)
        endif()
        if(KORVEX_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()
