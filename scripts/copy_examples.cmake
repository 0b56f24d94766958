# Copies the bundled examples beside the programs, file by file, leaving every file that is
# already there alone: a user's edits to the settings or the examples survive a rebuild.
# Usage: cmake -DSOURCE=<examples folder> -DDESTINATION=<build folder> -P copy_examples.cmake
file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(file IN LISTS files)
  # The generator's source builds the binary files; it is no example to run.
  if(file MATCHES "\\.cpp$")
    continue()
  endif()
  if(NOT EXISTS "${DESTINATION}/${file}")
    get_filename_component(folder "${DESTINATION}/${file}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}/${file}" "${DESTINATION}/${file}")
  endif()
endforeach()
