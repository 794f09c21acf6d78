# Run by cpack on the tree it is about to pack. The folders the install made
# carry the builder's umask: with 077 the package would hide the game from
# every other user, and the same sources would pack into other bytes. Folders
# in a package are 755.
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${folder}")
    file(CHMOD "${folder}" PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
