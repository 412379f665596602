# Run by cpack once it has installed the show into its staging folder (CPACK_PRE_BUILD_SCRIPTS). The .deb
# files the show under games, and Debian keeps the programs of that section in /usr/games: the program
# moves there, from where it finds its data as ../share/halcyra just as from bin/. Its desktop entry names
# it by its full path, since not every session puts /usr/games on PATH (systemd's user manager, root).
# `cmake --install` and the tar.gz keep bin/, which is on a user's PATH (~/.local/bin, /usr/local/bin).
if(CPACK_GENERATOR STREQUAL "DEB")
    set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
    file(MAKE_DIRECTORY "${usr}/games")
    file(RENAME "${usr}/${CPACK_HALCYRA_BINDIR}/halcyra" "${usr}/games/halcyra")
    file(GLOB left "${usr}/${CPACK_HALCYRA_BINDIR}/*")
    if(NOT left)
        file(REMOVE_RECURSE "${usr}/${CPACK_HALCYRA_BINDIR}")
    endif()

    set(entry "${usr}/${CPACK_HALCYRA_DATADIR}/applications/halcyra.desktop")
    set(program "${CPACK_PACKAGING_INSTALL_PREFIX}/games/halcyra")
    file(READ "${entry}" text)
    string(REGEX REPLACE "\nExec=halcyra\n" "\nExec=${program}\n" games "${text}")
    if(games STREQUAL text)
        message(FATAL_ERROR "${entry} has no line Exec=halcyra to point at /usr/games")
    endif()
    file(WRITE "${entry}" "${games}")
endif()
