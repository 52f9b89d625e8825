# Packs a helper program as a resource: a ZIP archive holding
# <NAME>.app/Contents/MacOS/<NAME>, installed into the user's data folder when needed.
#   cmake -DNAME=<name> -DEXE=<built helper> -DSTAGE=<dir> -DOUT=<resources/NAME> -P helper-pack.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/${NAME}.app/Contents/MacOS)
file(COPY_FILE ${EXE} ${STAGE}/${NAME}.app/Contents/MacOS/${NAME})
file(CHMOD ${STAGE}/${NAME}.app/Contents/MacOS/${NAME} PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT}.part --format=zip ${NAME}.app
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot pack ${OUT}")
endif()
file(RENAME ${OUT}.part ${OUT})
