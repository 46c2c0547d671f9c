# The Windows setup program, korvex-setup-<version>.exe, made by makensis (Debian's nsis) from
# packaging/windows/korvex.nsi as part of the Windows build.
find_program(KORVEX_MAKENSIS makensis)
if(NOT KORVEX_MAKENSIS)
    message(STATUS "makensis not found: no Windows setup program")
    return()
endif()
set(setupExe ${PROJECT_BINARY_DIR}/korvex-setup-${PROJECT_VERSION}.exe)
set(setupScript ${PROJECT_SOURCE_DIR}/packaging/windows/korvex.nsi)
set(setupIcon ${PROJECT_SOURCE_DIR}/src/app/win32/korvex.ico)
file(GLOB setupInputs ${PROJECT_SOURCE_DIR}/src/resources/netpbm/*.bat)
add_custom_command(OUTPUT ${setupExe}
    COMMAND ${KORVEX_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
            -DKORVEX_EXE=$<TARGET_FILE:korvex> -DTOOL_EXE=$<TARGET_FILE:korvex-tool>
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DOUT_FILE=${setupExe} -DICON_FILE=${setupIcon} ${setupScript}
    DEPENDS korvex korvex-tool ${setupScript} ${setupInputs} ${setupIcon}
            ${PROJECT_SOURCE_DIR}/src/resources/banks_branches.txt
    COMMENT "Making korvex-setup-${PROJECT_VERSION}.exe")
add_custom_target(korvex_setup ALL DEPENDS ${setupExe})
