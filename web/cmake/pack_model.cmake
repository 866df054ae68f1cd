# SPDX-License-Identifier: GPL-3.0-or-later
# Gzips the reader's model as greek-HASH.model.gz into OUTPUT_DIR and
# writes model-info.js, which names it. The hash in the name lets the
# page keep a model in the browser's cache for as long as it is current.
# Without a model, model-info.js says so and the page offers no accents.
file(MAKE_DIRECTORY ${OUTPUT_DIR})
file(GLOB old_models ${OUTPUT_DIR}/greek-*.model.gz)
if(NOT EXISTS "${MODEL}")
    if(old_models)
        file(REMOVE ${old_models})
    endif()
    file(WRITE ${OUTPUT_DIR}/model-info.js
         "// SPDX-License-Identifier: GPL-3.0-or-later\n"
         "// Made by the build: no model was built, so there are no accents.\n"
         "export default null;\n")
    file(TOUCH ${STAMP})
    return()
endif()
file(SHA256 ${MODEL} model_hash)
string(SUBSTRING ${model_hash} 0 16 model_hash)
set(name greek-${model_hash}.model.gz)
foreach(old IN LISTS old_models)
    get_filename_component(old_name ${old} NAME)
    if(NOT old_name STREQUAL name)
        file(REMOVE ${old})
    endif()
endforeach()
if(NOT EXISTS ${OUTPUT_DIR}/${name})
    execute_process(COMMAND ${GZIP} -9 -n -c ${MODEL} OUTPUT_FILE ${OUTPUT_DIR}/${name}.part
                    RESULT_VARIABLE gzip_failed)
    if(gzip_failed)
        file(REMOVE ${OUTPUT_DIR}/${name}.part)
        message(FATAL_ERROR "gzip failed on ${MODEL}")
    endif()
    file(RENAME ${OUTPUT_DIR}/${name}.part ${OUTPUT_DIR}/${name})
endif()
file(SIZE ${MODEL} model_size)
file(SIZE ${OUTPUT_DIR}/${name} packed_size)
file(WRITE ${OUTPUT_DIR}/model-info.js
     "// SPDX-License-Identifier: GPL-3.0-or-later\n"
     "// Made by the build: the reader's model that goes with this module.\n"
     "export default { file: '${name}', hash: '${model_hash}', "
     "bytes: ${model_size}, packedBytes: ${packed_size} };\n")
file(TOUCH ${STAMP})
