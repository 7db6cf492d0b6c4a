# Run by CPack once it has installed the package's files into its staging folder, before it packs
# them. CPack stamps every file with SOURCE_DATE_EPOCH: here it becomes the build's one time. The
# folders were made under the builder's umask: they get the modes Debian expects instead.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_PLL_SOURCE_DATE_EPOCH}")
file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE
    OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
