# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the page together in WEB_DIR with the core (CORE_WASM) and the
# model that the build made there, writes the service worker with the hash
# of what it caches, and lays out the npm package in PACKAGE_DIR.
file(MAKE_DIRECTORY ${WEB_DIR} ${PACKAGE_DIR})
file(COPY ${CORE_WASM} DESTINATION ${WEB_DIR})
# emscripten's loader, served by earlier builds: lativo.js loads the core now.
file(REMOVE ${WEB_DIR}/lativo-core.js)
file(GLOB lib_files ${SOURCE_DIR}/lib/*.js ${SOURCE_DIR}/lib/*.d.ts)
file(GLOB page_files ${SOURCE_DIR}/page/*.html ${SOURCE_DIR}/page/*.js ${SOURCE_DIR}/page/*.css
     ${SOURCE_DIR}/page/*.svg)
file(COPY ${lib_files} ${page_files} DESTINATION ${WEB_DIR})
# The page serves its scripts without comments and with short local
# names; the package keeps its own as written.
set(served_scripts ${lib_files} ${page_files})
list(FILTER served_scripts INCLUDE REGEX "\\.js$")
list(TRANSFORM served_scripts REPLACE ".*/" "${WEB_DIR}/")
execute_process(COMMAND ${NODE} ${SOURCE_DIR}/cmake/compact_js.cjs ${served_scripts}
                RESULT_VARIABLE compacted)
if(NOT compacted EQUAL 0)
    message(FATAL_ERROR "The page's scripts could not be compacted")
endif()

# What the service worker keeps for offline use; the model has a cache of
# its own, filled when accents are first asked for.
set(app_files index.html boot.js app.js style.css icon.svg lativo.js client.js worker.js lativo-core.wasm
              model-info.js)
set(hashes "")
foreach(name IN LISTS app_files)
    if(NOT EXISTS ${WEB_DIR}/${name})
        message(FATAL_ERROR "${WEB_DIR}/${name} is missing")
    endif()
    file(SHA256 ${WEB_DIR}/${name} hash)
    string(APPEND hashes "${name}:${hash}\n")
endforeach()
string(SHA256 app_hash "${hashes}")
string(SUBSTRING ${app_hash} 0 16 APP_HASH)
list(TRANSFORM app_files PREPEND "'./")
list(TRANSFORM app_files APPEND "'")
list(JOIN app_files ", " APP_FILES)
configure_file(${SOURCE_DIR}/page/sw.js.in ${WEB_DIR}/sw.js @ONLY)

# The package: the module, the worker and its client, the core, the model.
file(GLOB old_package ${PACKAGE_DIR}/*)
if(old_package)
    file(REMOVE_RECURSE ${old_package})
endif()
file(GLOB models ${WEB_DIR}/greek-*.model.gz)
file(COPY ${lib_files} ${WEB_DIR}/lativo-core.wasm
          ${WEB_DIR}/model-info.js ${models} ${SOURCE_DIR}/README.md
          ${SOURCE_DIR}/../LICENSE DESTINATION ${PACKAGE_DIR})
# The package's manifest, without what only its tests need.
file(READ ${SOURCE_DIR}/package.json manifest)
string(JSON manifest REMOVE "${manifest}" devDependencies)
string(JSON manifest REMOVE "${manifest}" scripts)
string(JSON manifest SET "${manifest}" version "\"${VERSION}.0\"")
file(WRITE ${PACKAGE_DIR}/package.json "${manifest}\n")
file(TOUCH ${STAMP})
