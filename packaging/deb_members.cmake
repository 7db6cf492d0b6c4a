# Run by CPack after it writes a .deb. CPack gives the archive's members (debian-binary,
# control.tar.gz, data.tar.gz) the modes that the umask gave their files; Debian's own tools give
# each 100644, and so does this, so that no builder's umask reaches the package's bytes. Then it
# prints the package's SHA-256, the number that two builds of one commit agree on.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    file(SIZE ${deb} end)
    set(header 8) # the first member's header follows the archive's magic, "!<arch>\n"
    while(header LESS end)
        # A member's 60-byte header holds its name (16 bytes), time (12), owner (6), group (6),
        # mode (8) and size (10) as text, then 2 bytes of magic; odd sizes are padded to even.
        math(EXPR mode "${header} + 40")
        math(EXPR size "${header} + 48")
        file(READ ${deb} length OFFSET ${size} LIMIT 10)
        string(STRIP "${length}" length)
        execute_process(COMMAND printf "%-8s" 100644
            COMMAND dd of=${deb} bs=1 seek=${mode} conv=notrunc status=none
            COMMAND_ERROR_IS_FATAL ANY)
        math(EXPR header "${header} + 60 + ${length} + ${length} % 2")
    endwhile()
    file(SHA256 ${deb} sha256)
    cmake_path(GET deb FILENAME name)
    message(STATUS "SHA-256 ${sha256}  ${name}")
endforeach()
