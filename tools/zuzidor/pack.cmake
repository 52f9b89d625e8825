# Packs the page snapshot helper as the resource "ZuziDOR": a ZIP archive holding
# ZuziDOR.app/Contents/MacOS/ZuziDOR, installed into the user's data folder at start-up.
#   cmake -DEXE=<built helper> -DSTAGE=<dir> -DOUT=<resources/ZuziDOR> -P pack.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/ZuziDOR.app/Contents/MacOS)
file(COPY_FILE ${EXE} ${STAGE}/ZuziDOR.app/Contents/MacOS/ZuziDOR)
file(CHMOD ${STAGE}/ZuziDOR.app/Contents/MacOS/ZuziDOR PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT}.part --format=zip ZuziDOR.app
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot pack ${OUT}")
endif()
file(RENAME ${OUT}.part ${OUT})
