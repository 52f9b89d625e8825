# Packs the desktop application template: the mac.app folder with the default icon.
#   cmake -DTEMPLATE=<mac.app> -DICNS=<flipbookicons.icns> -DSTAGE=<dir> -DOUT=<zip> -P pack.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${TEMPLATE} DESTINATION ${STAGE})
file(COPY ${ICNS} DESTINATION ${STAGE}/mac.app/Contents/Resources)
file(CHMOD ${STAGE}/mac.app/Contents/MacOS/book PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT} --format=zip mac.app
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot pack ${OUT}")
endif()
